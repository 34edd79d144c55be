// A desktop portal with only a file chooser, for the tests of ours that ask one: started by the
// test's own session bus when the portal's name is called, it writes down what OpenFile was
// given and answers as its command line says.
// Usage: fake-portal RECORD ANSWER, ANSWER being uri:URI (chosen), cancel, other (response 2),
// error (an error reply) or hold (never answers, but says "Called" on the bus).

#include <gio/gio.h>

#include <cstdio>
#include <string>

namespace {

constexpr const char* kInterface = R"(<node>
  <interface name="org.freedesktop.portal.FileChooser">
    <method name="OpenFile">
      <arg type="s" name="parent_window" direction="in"/>
      <arg type="s" name="title" direction="in"/>
      <arg type="a{sv}" name="options" direction="in"/>
      <arg type="o" name="handle" direction="out"/>
    </method>
  </interface>
</node>)";

struct Fake {
    std::string record;
    std::string answer;
};

// Where a portal makes the request object of a call, as portals do it.
std::string requestPath(const char* sender, const char* token) {
    std::string name(sender + 1);
    for (char& c : name)
        if (c == '.')
            c = '_';
    return std::string("/org/freedesktop/portal/desktop/request/") + name + "/" + token;
}

std::string printed(GVariant* value) {
    if (!value)
        return "(none)";
    g_autofree gchar* text = g_variant_print(value, FALSE);
    return text;
}

void writeRecord(const Fake& fake, const char* parent, const char* title, GVariant* options) {
    g_autoptr(GVariant) modal = g_variant_lookup_value(options, "modal", G_VARIANT_TYPE_BOOLEAN);
    g_autoptr(GVariant) filters = g_variant_lookup_value(options, "filters", nullptr);
    const std::string text = std::string("parent_window=") + parent + "\ntitle=" + title +
                             "\nmodal=" + printed(modal) + "\nfilters=" + printed(filters) + "\n";
    g_file_set_contents(fake.record.c_str(), text.c_str(), -1, nullptr);
}

GVariant* responseOf(const std::string& answer) {
    GVariantBuilder results;
    g_variant_builder_init(&results, G_VARIANT_TYPE_VARDICT);
    guint32 code = 2;
    if (answer.starts_with("uri:")) {
        const char* uris[] = {answer.c_str() + 4, nullptr};
        g_variant_builder_add(&results, "{sv}", "uris", g_variant_new_strv(uris, -1));
        code = 0;
    } else if (answer == "cancel") {
        code = 1;
    }
    return g_variant_new("(ua{sv})", code, &results);
}

void openFile(GDBusConnection* connection, const gchar* sender, const gchar*, const gchar*,
              const gchar*, GVariant* parameters, GDBusMethodInvocation* invocation,
              gpointer data) {
    const Fake& fake = *static_cast<Fake*>(data);
    const char* parent = nullptr;
    const char* title = nullptr;
    g_autoptr(GVariant) options = nullptr;
    g_variant_get(parameters, "(&s&s@a{sv})", &parent, &title, &options);
    writeRecord(fake, parent, title, options);
    const char* token = nullptr;
    if (!g_variant_lookup(options, "handle_token", "&s", &token)) {
        g_dbus_method_invocation_return_dbus_error(
            invocation, "org.freedesktop.portal.Error.InvalidArgument", "no handle_token");
        return;
    }
    if (fake.answer == "error") {
        g_dbus_method_invocation_return_dbus_error(
            invocation, "org.freedesktop.portal.Error.Failed", "the fake portal refuses");
        return;
    }
    const std::string path = requestPath(sender, token);
    if (fake.answer == "hold")
        g_dbus_connection_emit_signal(connection, nullptr, "/org/freedesktop/portal/desktop",
                                      "org.freedesktop.portal.FileChooser", "Called", nullptr,
                                      nullptr);
    else
        // Before the reply, as a quick portal may: only a caller listening already hears it.
        g_dbus_connection_emit_signal(connection, sender, path.c_str(),
                                      "org.freedesktop.portal.Request", "Response",
                                      responseOf(fake.answer), nullptr);
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(o)", path.c_str()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fake-portal RECORD ANSWER\n");
        return 2;
    }
    Fake fake{argv[1], argv[2]};
    g_autoptr(GError) error = nullptr;
    // The bus that started it; the process ends when that bus goes.
    g_autoptr(GDBusConnection) bus = g_bus_get_sync(G_BUS_TYPE_STARTER, nullptr, &error);
    g_autoptr(GDBusNodeInfo) node = g_dbus_node_info_new_for_xml(kInterface, &error);
    if (!bus || !node) {
        std::fprintf(stderr, "fake-portal: %s\n", error->message);
        return 1;
    }
    const GDBusInterfaceVTable vtable{openFile, nullptr, nullptr, {}};
    if (!g_dbus_connection_register_object(bus, "/org/freedesktop/portal/desktop",
                                           node->interfaces[0], &vtable, &fake, nullptr, &error)) {
        std::fprintf(stderr, "fake-portal: %s\n", error->message);
        return 1;
    }
    g_bus_own_name_on_connection(bus, "org.freedesktop.portal.Desktop", G_BUS_NAME_OWNER_FLAGS_NONE,
                                 nullptr, nullptr, nullptr, nullptr);
    g_autoptr(GMainLoop) loop = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(loop);
    return 0;
}
