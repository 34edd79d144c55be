#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/DelayedAction.h"
#include "app/ExeResManipulator.h"
#include "player/MovieKind.h"
#include "app/PlayerWindow.h"
#include "base/InPt.h"
#include "base/MemFile.h"
#include "published/ExternalFormatReader.h"
#include "storage/PlayerTranslateInterface.h"
#include "storage/RBFileSystem.h"

// The main dialog of the player without a window system: it owns the skin package, the texts,
// the window with its view and the movie, loads movies (embedded, chosen or given) and places
// the window around them. The shell feeds it events and shows Window().Compose().
class CZephyrcastPlayerDlg {
public:
    using MovieKind = lumenreel::MovieKind;
    static constexpr std::uint32_t kSkinResource = 633;
    static constexpr std::uint32_t kZcdResource = 634;
    static constexpr std::uint32_t kZcsResource = 635;
    static constexpr std::int32_t kStartDelayMs = 100;

    struct FileChoice {
        std::string defaultExtension;
        std::string filter;
    };

    // What the dialog asks of the window system. All run on the UI thread except
    // postLoadMessage, which the start action calls from its worker.
    struct Host {
        std::function<void(MovieKind)> postLoadMessage;
        // The usable area of the display the window is on.
        std::function<lumenreel::ViewRect()> usableArea;
        std::function<void(const lumenreel::ViewRect&)> moveWindow;
        std::function<void(lumenreel::ViewPoint)> setMinimumSize;
        // Nothing when the user cancelled. Unset when no file chooser is available.
        std::function<std::optional<std::filesystem::path>(MovieKind, const FileChoice&)>
            chooseFile;
        std::function<void(bool fullScreen)> setFullScreen;
        std::function<void()> close;
        std::function<void()> minimise;
        std::function<void()> maximise;
        std::function<void()> restore;
        std::function<void(lumenreel::ViewPoint)> moveWindowTo;
    };

    // The resources must outlive the dialog.
    CZephyrcastPlayerDlg(const lumenreel::ProgramResources& resources, lumenreel::TickClock& clock,
                         lumenreel::OutputDeviceFactory devices);
    ~CZephyrcastPlayerDlg();

    void SetHost(Host host);
    // Creates the view and, for an embedded movie, starts the delayed load.
    bool OnInitDialog();

    bool LoadEmbeddedResource(std::uint32_t id, CKWXOleStreamFile& stream);
    bool HasEmbeddedZCD() const;
    bool HasEmbeddedZCS() const;
    void LoadZCS();
    void LoadZCD();
    // A movie given by name (command line, dropped file): its kind comes from its bytes.
    void OpenMovieFile(const std::filesystem::path& path);
    void OpenMovieBytes(std::vector<std::uint8_t> bytes, const std::string& name);
    void FitWindowToMovie();

    void OnTimer() { m_window.OnTimer(); }
    bool HasSkin() const { return m_skinFileSystem.IsOpen(); }
    bool HasMovie() { return m_window.View().HasMovie(); }
    lumenreel::PlayerWindow& Window() { return m_window; }

private:
    void loadSkin();
    void loadZcdBytes(std::vector<std::uint8_t> bytes, const std::string& name);
    void loadZcsBytes(const std::string& name);
    std::optional<std::filesystem::path> chooseFile(MovieKind kind);
    void showFailure(const std::string& name, const std::string& reason);
    void showWelcome();
    void onFullScreenChanged(bool fullScreen);

    const lumenreel::ProgramResources& m_resources;
    Host m_host;
    InPt<NKWXDecodersEncoders::CExternalFormatReader> m_reader;
    // The bytes the reader was loaded from, kept as long as the reader.
    std::vector<std::uint8_t> m_movieBytes;
    CKWXOleStreamFile m_skinStream;
    CRBFileSystem m_skinFileSystem;
    std::unique_ptr<CPlayerTranslateInterface> m_translator;
    lumenreel::PlayerWindow m_window;
    CDelayedAction m_startAction;
    bool m_viewCreated = false;
    MovieKind m_startKind = MovieKind::ZCD;
};
