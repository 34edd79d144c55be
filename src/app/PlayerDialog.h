#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/DelayedAction.h"
#include "app/ExeResManipulator.h"
#include "app/MovieFile.h"
#include "app/PlayerMemory.h"
#include "app/PlayerWindow.h"
#include "base/InPt.h"
#include "base/MemFile.h"
#include "document/ZephyrcastBaseDocument.h"
#include "player/MovieKind.h"
#include "player/PlayerHost.h"
#include "published/ExternalFormatReader.h"
#include "storage/PlayerTranslateInterface.h"
#include "storage/RBFileSystem.h"
#include "themes/PlayerThemes.h"

// The main dialog of the player without a window system: it owns the skin package, the texts,
// the window with its view and the movie, loads movies (embedded, chosen or given) and places
// the window around them. The shell feeds it events, tells it what became of the window and
// shows Compose().
class CZephyrcastPlayerDlg {
public:
    using MovieKind = lumenreel::MovieKind;
    static constexpr std::uint32_t kSkinResource = 633;
    static constexpr std::uint32_t kZcdResource = 634;
    static constexpr std::uint32_t kZcsResource = 635;
    static constexpr std::int32_t kStartDelayMs = 100;
    static constexpr const char* kTitle = "Lumenreel Player";

    // The resources must outlive the dialog.
    CZephyrcastPlayerDlg(const lumenreel::ProgramResources& resources, lumenreel::TickClock& clock,
                         lumenreel::OutputDeviceFactory devices);
    ~CZephyrcastPlayerDlg();

    // The host is not owned and must outlive the dialog.
    void SetHost(lumenreel::PlayerHost& host);
    // Device pixels a skin pixel (a HiDPI screen's scale); set before OnInitDialog.
    void SetDeviceScale(int scale) { m_window.SetDeviceScale(scale); }
    // Creates the view and, for an embedded movie, starts the delayed load.
    bool OnInitDialog();

    bool LoadEmbeddedResource(std::uint32_t id, CKWXOleStreamFile& stream);
    bool HasEmbeddedZCD() const;
    bool HasEmbeddedZCS() const;
    void LoadZCS();
    void LoadZCD();
    // A movie given by name (command line, dropped file): its kind comes from its bytes.
    void OpenMovieFile(const std::filesystem::path& path);
    // The same for a file read (perhaps on another thread) already.
    void OpenMovie(lumenreel::MovieFile movie);
    // What the host's chooser answered after F3, F4 or Open: the file opens, its problems are
    // shown, and without any chooser the window's own list opens.
    void ChooserAnswered(const lumenreel::PlayerHost::ChooserAnswer& answer);
    void FitWindowToMovie();

    void OnTimer() { m_window.OnTimer(); }
    // Keys reach the window and its view; saving a picture is the dialog's, which knows the movie.
    void KeyDown(CZCPlayerView::Key key);
    // Saves the moment shown beside the movie; the path written, or nothing (the reason shown).
    std::optional<std::filesystem::path> SaveMomentPicture();
    // The user's settings apply from now on and movies opened from a file start where they were
    // left. The memory is not owned and must outlive the dialog.
    void SetMemory(lumenreel::PlayerMemory& memory);
    // The settings as they are now and where the movie playing was left, into the memory.
    void KeepInMemory();
    // Load failures are also written here, one line each (stderr in the shell); none by default.
    void SetErrorLog(std::FILE* log) { m_errorLog = log; }
    bool HasSkin() const { return m_skinFileSystem.IsOpen(); }
    bool HasMovie() { return m_window.View().HasMovie(); }
    lumenreel::PlayerWindow& Window() { return m_window; }
    // Why the last movie asked for could not be played ("name: reason"); empty after a load
    // that worked.
    const std::string& LoadFailure() const { return m_loadFailure; }

    // What became of the window on the screen.
    void WindowResized(int width, int height) { m_window.SetClientSize(width, height); }
    void WindowMinimised();
    void WindowMaximised();
    void WindowRestored();
    void WindowShown();

    void SetFullScreen(bool flag) { m_window.View().SetFullScreen(flag); }
    // The movie held still at this moment.
    void PauseAt(float seconds);
    // The window composed as it looks now; false when nothing changed since the last time.
    bool Compose() { return m_window.Compose(); }
    const CImageExt& Picture() const { return m_window.Picture(); }
    const std::optional<std::vector<lumenreel::Rect>>& ComposedParts() const {
        return m_window.ComposedParts();
    }
    // True while the embedded movie waits for its start delay.
    bool StartPending() const { return m_startAction.IsRunning(); }

private:
    void loadSkin();
    void loadZcdBytes(std::vector<std::uint8_t> bytes, const std::string& name);
    void useZcd(std::vector<std::uint8_t> bytes,
                std::unique_ptr<NKWXDecodersEncoders::CExternalFormatReader> reader,
                const std::string& failure, const std::string& name);
    void loadZcsBytes(std::span<const std::uint8_t> bytes, const std::string& name);
    void dropMovie();
    CThemesManagerZC& themes();
    void chooseFile(MovieKind kind);
    void showFileList();
    void showFailure(const std::string& name, const std::string& reason);
    void showWelcome();
    void loaded();
    void resumeWhereLeft(const std::filesystem::path& path);
    void keepPosition();
    void noteUserFit();

    const lumenreel::ProgramResources& m_resources;
    lumenreel::PlayerHost* m_host = nullptr;
    InPt<NKWXDecodersEncoders::CExternalFormatReader> m_reader;
    // The bytes the reader was loaded from, kept as long as the reader.
    std::vector<std::uint8_t> m_movieBytes;
    CKWXOleStreamFile m_skinStream;
    CRBFileSystem m_skinFileSystem;
    std::unique_ptr<CPlayerTranslateInterface> m_translator;
    // One for the program, made when the first document needs it; documents draw their
    // captions from the skin package's balloons.
    std::unique_ptr<CThemesManagerZC> m_themes;
    std::unique_ptr<lumenreel::CZephyrcastBaseDocument> m_document;
    lumenreel::PlayerWindow m_window;
    CDelayedAction m_startAction;
    bool m_viewCreated = false;
    MovieKind m_startKind = MovieKind::ZCD;
    std::string m_loadFailure;
    // The movie file playing, when it came from one; else it is the embedded one.
    std::optional<std::filesystem::path> m_moviePath;
    std::FILE* m_errorLog = nullptr;
    lumenreel::PlayerMemory* m_memory = nullptr;
    // Fit as the user left it: the dialog turns it on by itself for a movie too big to show 1:1.
    bool m_userFit = false;
    bool m_fitForced = false;
};
