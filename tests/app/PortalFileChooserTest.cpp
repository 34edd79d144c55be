#include <gtest/gtest.h>
#include <signal.h>

#include <gio/gio.h>

#include <cstdlib>
#include <fstream>
#include <future>
#include <sstream>

#include "app/DesktopChooser.h"
#include "app/PortalFileChooser.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

using Outcome = PortalAnswer::Outcome;

// A session bus of the test's own, which starts the fake portal when the portal's name is
// called, the portal answering as told; without an answer, the bus has no portal. The bus
// reads only its own configuration, so no portal of the machine's is ever started.
class PrivateSessionBus {
public:
    explicit PrivateSessionBus(const std::optional<std::string>& answer) {
        std::filesystem::create_directory(m_dir / "services");
        if (answer)
            std::ofstream(m_dir / "services" / "portal.service")
                << "[D-BUS Service]\nName=org.freedesktop.portal.Desktop\nExec="
                << shellQuote(LUMENREEL_FAKE_PORTAL) << " " << shellQuote(record().string()) << " "
                << shellQuote(*answer) << "\n";
        std::ofstream(m_dir / "bus.conf")
            << "<busconfig><type>session</type><listen>unix:path=" << (m_dir / "bus").string()
            << "</listen><servicedir>" << (m_dir / "services").string()
            << "</servicedir><auth>EXTERNAL</auth><policy context=\"default\">"
               "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
               "<allow own=\"*\"/></policy></busconfig>\n";
        // With --fork the command returns once the bus listens.
        const CommandResult started =
            runCommand("dbus-daemon --fork --print-address=1 --print-pid=1 --config-file=" +
                       shellQuote((m_dir / "bus.conf").string()));
        std::istringstream lines(started.out);
        std::getline(lines, m_address);
        lines >> m_pid;
        if (started.exitCode != 0 || m_address.empty() || m_pid <= 0)
            throw std::runtime_error("dbus-daemon did not start: " + started.err);
    }
    ~PrivateSessionBus() { ::kill(m_pid, SIGTERM); }

    const std::string& address() const { return m_address; }
    std::filesystem::path record() const { return m_dir / "record"; }

    // What the fake portal was given, line by line.
    std::vector<std::string> recorded() const {
        std::ifstream in(record());
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

private:
    TempDir m_dir;
    std::string m_address;
    pid_t m_pid = 0;
};

const FileChooser::Request kRequest{
    "Open a published demo",
    {{"Published demos (*.zcd)", {"*.zcd"}}, {"Lumenreel movies", {"*.zcd", "*.zcs"}}}};

class PortalFileChooserTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!haveProgram("dbus-daemon"))
            GTEST_SKIP() << "dbus-daemon is not installed";
    }

    // Asks the portal of a private bus that answers as told.
    PortalAnswer ask(const std::optional<std::string>& portalAnswer) {
        m_bus.emplace(portalAnswer);
        ScopedVariable address("DBUS_SESSION_BUS_ADDRESS", m_bus->address());
        return chooseThroughPortal(kRequest, "x11:1e00004");
    }

    std::optional<PrivateSessionBus> m_bus;
};

TEST_F(PortalFileChooserTest, TheChosenFileArrivesAsItsPathAndTheCallCarriedTheRequest) {
    const PortalAnswer answer = ask("uri:file:///movies/My%20tour%20%C3%A9t%C3%A9.zcd");
    EXPECT_EQ(answer.outcome, Outcome::chosen) << answer.problem;
    EXPECT_EQ(answer.file, std::filesystem::path("/movies/My tour été.zcd"));
    EXPECT_EQ(m_bus->recorded(),
              (std::vector<std::string>{"parent_window=x11:1e00004", "title=Open a published demo",
                                        "modal=true",
                                        "filters=[('Published demos (*.zcd)', [(0, '*.zcd')]), "
                                        "('Lumenreel movies', [(0, '*.zcd'), (0, '*.zcs')])]"}));
}

TEST_F(PortalFileChooserTest, WhatTheUserDidNotChooseGivesNoFile) {
    struct Case {
        std::string portalAnswer;
        Outcome outcome;
        std::string problem;
    };
    const Case cases[] = {
        {"cancel", Outcome::cancelled, ""},
        {"other", Outcome::failed, "the desktop portal's file chooser ended without a choice"},
        {"uri:https://example.org/tour.zcd", Outcome::failed,
         "the desktop portal's file chooser chose https://example.org/tour.zcd, which is not a "
         "local file"},
        {"error", Outcome::failed,
         "the desktop portal's file chooser failed: the fake portal refuses"},
    };
    for (const Case& c : cases) {
        const PortalAnswer answer = ask(c.portalAnswer);
        EXPECT_EQ(answer.outcome, c.outcome) << c.portalAnswer;
        EXPECT_EQ(answer.problem, c.problem) << c.portalAnswer;
        EXPECT_TRUE(answer.file.empty()) << c.portalAnswer;
    }
}

TEST_F(PortalFileChooserTest, WithoutAPortalOrABusThereIsNone) {
    EXPECT_EQ(ask(std::nullopt).outcome, Outcome::noPortal) << "a bus without a portal";
    {
        TempDir nothing;
        ScopedVariable address("DBUS_SESSION_BUS_ADDRESS",
                               "unix:path=" + (nothing.path() / "bus").string());
        EXPECT_EQ(chooseThroughPortal(kRequest, "").outcome, Outcome::noPortal)
            << "an address where no bus listens";
        ScopedVariable noAddress("DBUS_SESSION_BUS_ADDRESS", std::nullopt);
        ScopedVariable runtime("XDG_RUNTIME_DIR", nothing.path().string());
        EXPECT_EQ(sessionBusAddress(), std::nullopt) << "no address and no socket: no bus asked";
        EXPECT_EQ(chooseThroughPortal(kRequest, "").outcome, Outcome::noPortal);
    }
}

// A stand-in zenity that says it was asked and answers with a path.
class ChooserProgram {
public:
    ChooserProgram() {
        std::ofstream(m_dir / "zenity") << "#!/bin/sh\ntouch " << shellQuote(asked().string())
                                        << "\necho /movies/from-zenity.zcd\n";
        std::filesystem::permissions(m_dir / "zenity", std::filesystem::perms::owner_all);
        ScopedVariable path("PATH", m_dir.path().string());
        m_program = FileChooser::find();
    }
    const std::optional<FileChooser>& program() const { return m_program; }
    std::filesystem::path asked() const { return m_dir / "asked"; }

private:
    TempDir m_dir;
    std::optional<FileChooser> m_program;
};

using ChooserOutcome = PlayerHost::ChooserAnswer::Outcome;

class DesktopChooserTest : public PortalFileChooserTest {
protected:
    // What the desktop's chooser answers when the private bus's portal answers as told.
    PlayerHost::ChooserAnswer answer(const std::optional<std::string>& portalAnswer,
                                     const std::optional<FileChooser>& program) {
        m_bus.emplace(portalAnswer);
        ScopedVariable address("DBUS_SESSION_BUS_ADDRESS", m_bus->address());
        std::promise<void> answered;
        DesktopChooser chooser(program, [&] { answered.set_value(); });
        EXPECT_TRUE(chooser.available());
        chooser.ask(kRequest, "");
        answered.get_future().wait();
        std::optional<PlayerHost::ChooserAnswer> answer = chooser.takeAnswer();
        EXPECT_TRUE(answer);
        return answer.value_or(PlayerHost::ChooserAnswer{});
    }
};

TEST_F(DesktopChooserTest, APortalThatFailsHandsOverToTheChooserProgramAndSaysWhy) {
    ChooserProgram zenity;
    const PlayerHost::ChooserAnswer answer = this->answer("error", zenity.program());
    EXPECT_EQ(answer.outcome, ChooserOutcome::chosen);
    EXPECT_EQ(answer.file, std::filesystem::path("/movies/from-zenity.zcd"));
    EXPECT_EQ(answer.problems,
              (std::vector<std::string>{"the desktop portal's file chooser failed: the fake portal "
                                        "refuses"}));
}

TEST_F(DesktopChooserTest, ThePortalsAnswerIsTheAnswer) {
    ChooserProgram zenity;
    const PlayerHost::ChooserAnswer chosen =
        answer("uri:file:///movies/tour%231.zcs", zenity.program());
    EXPECT_EQ(chosen.outcome, ChooserOutcome::chosen);
    EXPECT_EQ(chosen.file, std::filesystem::path("/movies/tour#1.zcs"));
    EXPECT_EQ(answer("cancel", zenity.program()).outcome, ChooserOutcome::cancelled);
    EXPECT_FALSE(std::filesystem::exists(zenity.asked())) << "the program was not asked";
}

TEST_F(DesktopChooserTest, WithoutAPortalTheProgramIsAskedAndWithoutEitherThereIsNoChooser) {
    ChooserProgram zenity;
    EXPECT_EQ(answer(std::nullopt, zenity.program()).file,
              std::filesystem::path("/movies/from-zenity.zcd"));
    const PlayerHost::ChooserAnswer none = answer(std::nullopt, std::nullopt);
    EXPECT_EQ(none.outcome, ChooserOutcome::noChooser);
    EXPECT_TRUE(none.problems.empty());

    TempDir nothing;
    ScopedVariable noAddress("DBUS_SESSION_BUS_ADDRESS", std::nullopt);
    ScopedVariable runtime("XDG_RUNTIME_DIR", nothing.path().string());
    EXPECT_FALSE(DesktopChooser(std::nullopt, [] {}).available());
    EXPECT_TRUE(DesktopChooser(zenity.program(), [] {}).available());
}

void noteCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant*,
              gpointer called) {
    *static_cast<bool*>(called) = true;
}

// The player closing while the portal's chooser is still open does not wait for the user.
TEST_F(DesktopChooserTest, AChooserLeftOpenIsClosedWithThePlayer) {
    m_bus.emplace("hold");
    ScopedVariable address("DBUS_SESSION_BUS_ADDRESS", m_bus->address());
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    g_autoptr(GDBusConnection) listener = g_dbus_connection_new_for_address_sync(
        m_bus->address().c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    ASSERT_TRUE(listener);
    bool called = false;
    const guint subscription = g_dbus_connection_signal_subscribe(
        listener, nullptr, "org.freedesktop.portal.FileChooser", "Called", nullptr, nullptr,
        G_DBUS_SIGNAL_FLAGS_NONE, noteCall, &called, nullptr);
    // A round trip to the bus: the subscription is in place once it returns.
    g_autoptr(GVariant) id = g_dbus_connection_call_sync(
        listener, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "GetId",
        nullptr, nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
    ASSERT_TRUE(id);

    bool answered = false;
    std::optional<DesktopChooser> chooser;
    chooser.emplace(std::nullopt, [&] { answered = true; });
    chooser->ask(kRequest, "");
    while (!called)
        g_main_context_iteration(context, TRUE);
    chooser.reset();
    EXPECT_TRUE(answered) << "the open chooser ended with an answer";
    g_dbus_connection_signal_unsubscribe(listener, subscription);
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
}

}  // namespace
}  // namespace lumenreel::test
