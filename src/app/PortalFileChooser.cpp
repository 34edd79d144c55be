#include "app/PortalFileChooser.h"

#include <gio/gio.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

namespace lumenreel {
namespace {

constexpr const char* kPortalName = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kChooserInterface = "org.freedesktop.portal.FileChooser";
constexpr const char* kRequestInterface = "org.freedesktop.portal.Request";
// Reaching the bus and the portal's reply to the call, which may include starting the portal.
constexpr guint kSetupTimeoutMs = 10000;
constexpr guint32 kResponseChosen = 0;
constexpr guint32 kResponseCancelled = 1;

PortalAnswer failed(std::string problem) {
    return {PortalAnswer::Outcome::failed, {}, std::move(problem)};
}

GVariant* filtersVariant(const std::vector<FileChooser::Filter>& filters) {
    GVariantBuilder list;
    g_variant_builder_init(&list, G_VARIANT_TYPE("a(sa(us))"));
    for (const FileChooser::Filter& filter : filters) {
        GVariantBuilder patterns;
        g_variant_builder_init(&patterns, G_VARIANT_TYPE("a(us)"));
        // 0: a glob pattern, as opposed to a MIME type.
        for (const std::string& pattern : filter.patterns)
            g_variant_builder_add(&patterns, "(us)", 0u, pattern.c_str());
        g_variant_builder_add(&list, "(sa(us))", filter.description.c_str(), &patterns);
    }
    return g_variant_builder_end(&list);
}

GVariant* openFileOptions(const FileChooser::Request& request, const std::string& token) {
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
    g_variant_builder_add(&options, "{sv}", "modal", g_variant_new_boolean(TRUE));
    g_variant_builder_add(&options, "{sv}", "filters", filtersVariant(request.filters));
    return g_variant_builder_end(&options);
}

std::string nextToken() {
    static std::atomic<unsigned> counter{0};
    return "lumenreel" + std::to_string(++counter);
}

PortalAnswer answerOfError(GError* error) {
    if (g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN) ||
        g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NAME_HAS_NO_OWNER))
        return {PortalAnswer::Outcome::noPortal, {}, error->message};
    g_dbus_error_strip_remote_error(error);
    return failed(std::string("the desktop portal's file chooser failed: ") + error->message);
}

PortalAnswer answerOfResponse(guint32 response, GVariant* results) {
    if (response == kResponseCancelled)
        return {PortalAnswer::Outcome::cancelled, {}, {}};
    if (response != kResponseChosen)
        return failed("the desktop portal's file chooser ended without a choice");
    g_autofree const gchar** uris = nullptr;
    if (!g_variant_lookup(results, "uris", "^a&s", &uris) || !uris[0])
        return failed("the desktop portal's file chooser chose no file");
    std::optional<std::filesystem::path> file = pathOfFileUri(uris[0]);
    if (!file)
        return failed(std::string("the desktop portal's file chooser chose ") + uris[0] +
                      ", which is not a local file");
    return {PortalAnswer::Outcome::chosen, *file, {}};
}

// One call to the portal, on a main context of its own that the calling thread runs. Each
// asynchronous step under way counts in pending, and the call ends only once none is left.
class PortalCall {
public:
    PortalCall(const FileChooser::Request& request, const std::string& parentWindow)
        : m_request(request), m_parentWindow(parentWindow) {}

    ~PortalCall() {
        for (GSource* source : {m_stopWatch, m_setupTimeout})
            if (source) {
                g_source_destroy(source);
                g_source_unref(source);
            }
        if (m_connection)
            g_object_unref(m_connection);
        g_object_unref(m_cancellable);
        g_main_loop_unref(m_loop);
        g_main_context_unref(m_context);
    }

    PortalCall(const PortalCall&) = delete;
    PortalCall& operator=(const PortalCall&) = delete;

    // From any thread: the call ends as cancelled.
    void stop() { g_cancellable_cancel(m_cancellable); }

    PortalAnswer run(const std::string& address) {
        g_main_context_push_thread_default(m_context);
        m_stopWatch = watch(g_cancellable_source_new(m_cancellable),
                            G_SOURCE_FUNC(static_cast<GCancellableSourceFunc>(onStopped)));
        m_setupTimeout = watch(g_timeout_source_new(kSetupTimeoutMs), onSetupTimeout);
        ++m_pending;
        g_dbus_connection_new_for_address(
            address.c_str(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, m_cancellable, &PortalCall::onConnected, this);
        g_main_loop_run(m_loop);
        windDown();
        g_main_context_pop_thread_default(m_context);
        return *m_answer;
    }

private:
    GSource* watch(GSource* source, GSourceFunc callback) {
        g_source_set_callback(source, callback, this, nullptr);
        g_source_attach(source, m_context);
        return source;
    }

    void finish(PortalAnswer answer) {
        if (m_answer)
            return;
        m_answer = std::move(answer);
        g_main_loop_quit(m_loop);
    }

    // What is still under way is cancelled and seen to its end, so nothing calls back later.
    void windDown() {
        g_cancellable_cancel(m_cancellable);
        if (m_subscription)
            g_dbus_connection_signal_unsubscribe(m_connection, m_subscription);
        if (m_connection) {
            ++m_pending;
            g_dbus_connection_close(m_connection, nullptr, &PortalCall::onClosed, this);
        }
        while (m_pending > 0)
            g_main_context_iteration(m_context, TRUE);
    }

    void openFile() {
        const std::string token = nextToken();
        m_expectedHandle =
            portalRequestPath(g_dbus_connection_get_unique_name(m_connection), token);
        // Subscribed before calling: the portal may answer before its reply arrives.
        ++m_pending;
        m_subscription = g_dbus_connection_signal_subscribe(
            m_connection, kPortalName, kRequestInterface, "Response", m_expectedHandle.c_str(),
            nullptr, G_DBUS_SIGNAL_FLAGS_NONE, &PortalCall::onResponse, this,
            &PortalCall::onUnsubscribed);
        if (!m_subscription) {
            --m_pending;
            finish(failed("cannot listen for the desktop portal's answer at " + m_expectedHandle));
            return;
        }
        ++m_pending;
        g_dbus_connection_call(
            m_connection, kPortalName, kPortalPath, kChooserInterface, "OpenFile",
            g_variant_new("(ss@a{sv})", m_parentWindow.c_str(), m_request.title.c_str(),
                          openFileOptions(m_request, token)),
            G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE, kSetupTimeoutMs, m_cancellable,
            &PortalCall::onOpened, this);
    }

    static gboolean onStopped(GCancellable*, gpointer data) {
        static_cast<PortalCall*>(data)->finish({PortalAnswer::Outcome::cancelled, {}, {}});
        return G_SOURCE_REMOVE;
    }

    static gboolean onSetupTimeout(gpointer data) {
        static_cast<PortalCall*>(data)->finish(failed("the desktop portal did not answer within " +
                                                      std::to_string(kSetupTimeoutMs / 1000) +
                                                      " s"));
        return G_SOURCE_REMOVE;
    }

    static void onConnected(GObject*, GAsyncResult* result, gpointer data) {
        auto* call = static_cast<PortalCall*>(data);
        --call->m_pending;
        g_autoptr(GError) error = nullptr;
        call->m_connection = g_dbus_connection_new_for_address_finish(result, &error);
        if (!call->m_connection)
            call->finish({PortalAnswer::Outcome::noPortal, {}, error->message});
        else if (!call->m_answer)
            call->openFile();
    }

    static void onOpened(GObject* connection, GAsyncResult* result, gpointer data) {
        auto* call = static_cast<PortalCall*>(data);
        --call->m_pending;
        g_autoptr(GError) error = nullptr;
        g_autoptr(GVariant) reply =
            g_dbus_connection_call_finish(G_DBUS_CONNECTION(connection), result, &error);
        if (call->m_answer)
            return;
        if (!reply) {
            call->finish(answerOfError(error));
            return;
        }
        const gchar* handle = nullptr;
        g_variant_get(reply, "(&o)", &handle);
        if (call->m_expectedHandle != handle) {
            call->finish(failed(std::string("the desktop portal answers at ") + handle +
                                ", not where it was asked to"));
            return;
        }
        // The user takes as long as they like.
        g_source_destroy(call->m_setupTimeout);
    }

    static void onResponse(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                           GVariant* parameters, gpointer data) {
        auto* call = static_cast<PortalCall*>(data);
        if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ua{sv})"))) {
            call->finish(failed("the desktop portal's file chooser answered in an unknown form"));
            return;
        }
        guint32 response = 0;
        g_autoptr(GVariant) results = nullptr;
        g_variant_get(parameters, "(u@a{sv})", &response, &results);
        call->finish(answerOfResponse(response, results));
    }

    static void onUnsubscribed(gpointer data) { --static_cast<PortalCall*>(data)->m_pending; }

    static void onClosed(GObject* connection, GAsyncResult* result, gpointer data) {
        g_dbus_connection_close_finish(G_DBUS_CONNECTION(connection), result, nullptr);
        --static_cast<PortalCall*>(data)->m_pending;
    }

    const FileChooser::Request& m_request;
    const std::string& m_parentWindow;
    GMainContext* m_context = g_main_context_new();
    GMainLoop* m_loop = g_main_loop_new(m_context, FALSE);
    GCancellable* m_cancellable = g_cancellable_new();
    GSource* m_stopWatch = nullptr;
    GSource* m_setupTimeout = nullptr;
    GDBusConnection* m_connection = nullptr;
    guint m_subscription = 0;
    std::string m_expectedHandle;
    int m_pending = 0;
    std::optional<PortalAnswer> m_answer;
};

}  // namespace

PortalAnswer chooseThroughPortal(const FileChooser::Request& request,
                                 const std::string& parentWindow, std::stop_token stop) {
    const std::optional<std::string> address = sessionBusAddress();
    if (!address)
        return {PortalAnswer::Outcome::noPortal, {}, "there is no session bus"};
    PortalCall call(request, parentWindow);
    std::stop_callback onStop(stop, [&call] { call.stop(); });
    return call.run(*address);
}

std::optional<std::string> sessionBusAddress() {
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address)
        return address;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime)
        return std::nullopt;
    const std::filesystem::path socket = std::filesystem::path(runtime) / "bus";
    std::error_code error;
    if (!std::filesystem::is_socket(socket, error))
        return std::nullopt;
    g_autofree gchar* escaped = g_dbus_address_escape_value(socket.c_str());
    return std::string("unix:path=") + escaped;
}

std::string portalRequestPath(std::string_view uniqueName, std::string_view token) {
    if (uniqueName.starts_with(':'))
        uniqueName.remove_prefix(1);
    std::string sender(uniqueName);
    std::replace(sender.begin(), sender.end(), '.', '_');
    return "/org/freedesktop/portal/desktop/request/" + sender + "/" + std::string(token);
}

std::optional<std::filesystem::path> pathOfFileUri(const std::string& uri) {
    g_autofree gchar* name = g_filename_from_uri(uri.c_str(), nullptr, nullptr);
    if (!name)
        return std::nullopt;
    return std::filesystem::path(name);
}

}  // namespace lumenreel
