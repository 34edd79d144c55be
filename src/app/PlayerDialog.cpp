#include "app/PlayerDialog.h"

#include "app/PictureFile.h"
#include "app/WindowGeometry.h"
#include "base/Assert.h"

using lumenreel::Point;
using lumenreel::Rect;

CZephyrcastPlayerDlg::CZephyrcastPlayerDlg(const lumenreel::ProgramResources& resources,
                                           lumenreel::TickClock& clock,
                                           lumenreel::OutputDeviceFactory devices)
    : m_resources(resources), m_window(clock, std::move(devices)) {
    loadSkin();
    // Either kind opens through the one chooser, by its content.
    m_window.SetOpenAction([this] { LoadZCD(); });
    m_window.SetMovieChosenAction(
        [this](const std::filesystem::path& path) { OpenMovieFile(path); });
}

CZephyrcastPlayerDlg::~CZephyrcastPlayerDlg() {
    m_startAction.Cancel();
}

void CZephyrcastPlayerDlg::loadSkin() {
    // Without the package the player runs unskinned, its tooltips showing their keys.
    if (!LoadEmbeddedResource(kSkinResource, m_skinStream))
        return;
    if (!m_skinFileSystem.Attach(&m_skinStream, CRBFileSystem::modeRead)) {
        LR_ASSERT(m_skinFileSystem.IsOpen());
        return;
    }
    m_translator = std::make_unique<CPlayerTranslateInterface>(m_skinFileSystem);
}

void CZephyrcastPlayerDlg::SetHost(lumenreel::PlayerHost& host) {
    m_host = &host;
    m_window.SetHost(host);
}

bool CZephyrcastPlayerDlg::OnInitDialog() {
    if (!m_viewCreated) {
        m_window.SetSkin(HasSkin() ? &m_skinFileSystem : nullptr, m_translator.get());
        m_viewCreated = true;
    }
    if (m_host)
        m_host->SetMinimumSize(m_window.View().MinTrackSize());
    if (HasEmbeddedZCD())
        m_startKind = MovieKind::ZCD;
    else if (HasEmbeddedZCS())
        m_startKind = MovieKind::ZCS;
    else {
        showWelcome();
        return true;
    }
    m_startAction.Start(
        [](void* data) {
            auto* dialog = static_cast<CZephyrcastPlayerDlg*>(data);
            if (dialog->m_host)
                dialog->m_host->PostLoadMessage(dialog->m_startKind);
        },
        this, 1, kStartDelayMs);
    return true;
}

bool CZephyrcastPlayerDlg::LoadEmbeddedResource(std::uint32_t id, CKWXOleStreamFile& stream) {
    CExeResManipulator module;
    if (!module.AttachModule(&m_resources))
        return false;
    const std::uint32_t lnght = module.GetResourceSize(id);
    LR_ASSERT(lnght != 0);
    const std::uint8_t* buf__P = module.GetResourceData(id);
    LR_ASSERT(buf__P != 0);
    if (lnght == 0 || buf__P == nullptr)
        return false;
    stream = CKWXOleStreamFile(std::span<const std::uint8_t>(buf__P, lnght));
    stream.SeekTo(0);
    return true;
}

bool CZephyrcastPlayerDlg::HasEmbeddedZCD() const {
    return !m_resources.find(kZcdResource).empty();
}

bool CZephyrcastPlayerDlg::HasEmbeddedZCS() const {
    return !m_resources.find(kZcsResource).empty();
}

void CZephyrcastPlayerDlg::chooseFile(MovieKind kind) {
    auto translate = [this](const char* key) {
        return m_translator ? m_translator->Translate(key) : std::string(key);
    };
    lumenreel::PlayerHost::FileChoice choice;
    if (kind == MovieKind::ZCD) {
        choice.defaultExtension = translate("ID_ZCD_FILTERS");
        choice.filter = translate("ID_ZCD_FILTERS_DESCRIPTION");
    } else {
        choice.defaultExtension = translate("ID_ZCS_FILTERS");
        choice.filter = translate("ID_ZCS_FILTERS_DESCRIPTION");
    }
    if (!m_host || !m_host->ChooseFile(kind, choice))
        showFileList();
}

// The window's own list shows both kinds; its choice arrives later, through the window's
// movie-chosen action.
void CZephyrcastPlayerDlg::showFileList() {
    std::error_code error;
    m_window.ShowFileList(m_moviePath && m_moviePath->has_parent_path()
                              ? m_moviePath->parent_path()
                              : std::filesystem::current_path(error));
}

void CZephyrcastPlayerDlg::ChooserAnswered(const lumenreel::PlayerHost::ChooserAnswer& answer) {
    for (const std::string& problem : answer.problems) {
        m_window.SetMessage({"The file chooser failed:", problem}, true);
        if (m_errorLog)
            std::fprintf(m_errorLog, "lumenreel-player: %s\n", problem.c_str());
    }
    using Outcome = lumenreel::PlayerHost::ChooserAnswer::Outcome;
    if (answer.outcome == Outcome::chosen)
        OpenMovieFile(answer.file);
    else if (answer.outcome == Outcome::noChooser)
        showFileList();
}

void CZephyrcastPlayerDlg::LoadZCS() {
    if (HasEmbeddedZCD())
        return;
    if (HasEmbeddedZCS()) {
        loadZcsBytes(m_resources.find(kZcsResource), "the embedded movie");
        return;
    }
    chooseFile(MovieKind::ZCS);
}

void CZephyrcastPlayerDlg::LoadZCD() {
    if (HasEmbeddedZCS())
        return;
    if (HasEmbeddedZCD()) {
        std::span<const std::uint8_t> bytes = m_resources.find(kZcdResource);
        loadZcdBytes({bytes.begin(), bytes.end()}, "the embedded movie");
        return;
    }
    chooseFile(MovieKind::ZCD);
}

void CZephyrcastPlayerDlg::OpenMovieFile(const std::filesystem::path& path) {
    OpenMovie(lumenreel::readMovieFile(path));
}

void CZephyrcastPlayerDlg::OpenMovie(lumenreel::MovieFile movie) {
    const std::filesystem::path path = movie.path;
    const std::string name = path.filename().string();
    if (!movie.file.ok()) {
        showFailure(name, movie.file.error);
        return;
    }
    if (movie.kind == MovieKind::ZCD)
        useZcd(std::move(movie.file.bytes), std::move(movie.reader), movie.readerFailure, name);
    else if (movie.kind == MovieKind::ZCS)
        loadZcsBytes(movie.file.bytes, name);
    else
        showFailure(name,
                    "this is not a Lumenreel movie (neither a published demo nor a document)");
    if (!HasMovie() || !m_loadFailure.empty())
        return;
    m_moviePath = path;
    // A movie the user opened plays once unless they chose to loop; a bundled one loops, as a
    // self-running demo should.
    m_window.View().Transport().SetLoop(m_memory && m_memory->settings().loop);
    resumeWhereLeft(path);
    if (m_host)
        m_host->SetTitle(path.filename().string() + " — " + kTitle);
}

// The view lets go of the movie before the movie goes.
void CZephyrcastPlayerDlg::dropMovie() {
    noteUserFit();
    keepPosition();
    m_moviePath.reset();
    m_window.View().SetExternalReader(nullptr);
    m_reader.reset();
    m_document.reset();
    m_movieBytes.clear();
}

void CZephyrcastPlayerDlg::loadZcdBytes(std::vector<std::uint8_t> bytes, const std::string& name) {
    std::string failure;
    auto reader = lumenreel::loadPublishedDemo(bytes, failure);
    useZcd(std::move(bytes), std::move(reader), failure, name);
}

// The reader reads from the bytes' buffer, which moving the vector keeps where it is.
void CZephyrcastPlayerDlg::useZcd(
    std::vector<std::uint8_t> bytes,
    std::unique_ptr<NKWXDecodersEncoders::CExternalFormatReader> reader, const std::string& failure,
    const std::string& name) {
    dropMovie();
    if (reader) {
        m_movieBytes = std::move(bytes);
        m_reader.reset(std::move(reader));
    }
    m_window.View().SetExternalReader(m_reader.get());
    if (m_reader.get())
        loaded();
    else
        showFailure(name, failure.empty() ? "the published demo cannot be read" : failure);
    FitWindowToMovie();
}

void CZephyrcastPlayerDlg::loadZcsBytes(std::span<const std::uint8_t> bytes,
                                        const std::string& name) {
    dropMovie();
    auto document = std::make_unique<lumenreel::CZephyrcastBaseDocument>(&themes());
    if (document->load(bytes)) {
        m_document = std::move(document);
        m_window.View().SetDocument(m_document.get());
        loaded();
        // What the document could do without still leaves a movie worth playing.
        if (m_errorLog)
            for (const std::string& skipped : m_document->skipped())
                std::fprintf(m_errorLog, "lumenreel-player: %s: skipped %s\n", name.c_str(),
                             skipped.c_str());
    } else {
        showFailure(name, document->lastError().empty() ? "the document cannot be read"
                                                        : document->lastError());
    }
    FitWindowToMovie();
}

CThemesManagerZC& CZephyrcastPlayerDlg::themes() {
    if (!m_themes)
        m_themes = std::make_unique<CThemesManagerZC>(
            HasSkin() ? lumenreel::ThemeFiles::inPackage(m_skinFileSystem)
                      : lumenreel::ThemeFiles{});
    return *m_themes;
}

void CZephyrcastPlayerDlg::loaded() {
    m_loadFailure.clear();
    m_moviePath.reset();
    m_window.SetMessage({});
    // A movie named by its file has its name put in the title once it is known to be one.
    if (m_host)
        m_host->SetTitle(kTitle);
}

void CZephyrcastPlayerDlg::showFailure(const std::string& name, const std::string& reason) {
    m_loadFailure = name + ": " + reason;
    m_window.SetMessage({"Cannot play " + name + ":", reason}, true);
    // A file that cannot be read leaves the movie before it playing, and its title.
    if (m_host && !HasMovie())
        m_host->SetTitle(kTitle);
    if (m_errorLog)
        std::fprintf(m_errorLog, "lumenreel-player: %s\n", m_loadFailure.c_str());
}

void CZephyrcastPlayerDlg::KeyDown(CZCPlayerView::Key key) {
    if (key == CZCPlayerView::Key::SavePicture)
        SaveMomentPicture();
    else
        m_window.KeyDown(key);
}

std::optional<std::filesystem::path> CZephyrcastPlayerDlg::SaveMomentPicture() {
    CSkinnedPlayerView& view = m_window.View();
    if (!view.HasMovie() || view.GetFrameImage().isNull())
        return std::nullopt;
    // A bundled movie has no file of its own; its pictures go to the working folder.
    const std::filesystem::path movie = m_moviePath ? *m_moviePath : "movie";
    const std::filesystem::path output =
        lumenreel::momentPicturePath(movie, view.Transport().GetTime());
    std::string error;
    if (!lumenreel::writePicturePng(view.GetFrameImage(), output, error)) {
        m_window.ShowNotice("Cannot save the picture: " + error);
        if (m_errorLog)
            std::fprintf(m_errorLog, "lumenreel-player: %s\n", error.c_str());
        return std::nullopt;
    }
    m_window.ShowNotice("Saved " + output.filename().string());
    return output;
}

void CZephyrcastPlayerDlg::showWelcome() {
    m_window.SetMessage({"No movie is open.", "Press F4 to open a published demo (.zcd),",
                         "F3 to open a document (.zcs),", "or drop a movie file on this window.",
                         "Press ? for the keys."});
}

void CZephyrcastPlayerDlg::FitWindowToMovie() {
    if (!m_viewCreated)
        return;
    const lumenreel::Size preferred = m_window.View().PreferredSize();
    const lumenreel::Size minimum = m_window.View().MinTrackSize();
    if (m_host)
        m_host->SetMinimumSize(minimum);
    const Rect area = m_host ? m_host->UsableArea() : Rect{0, 0, 1024, 768};
    const lumenreel::WindowPlacement placement =
        lumenreel::fitWindowToMovie(preferred, area, minimum, m_window.DeviceScale());
    m_window.SetClientSize(placement.rect.width(), placement.rect.height());
    if (m_host)
        m_host->PlaceWindow(placement.rect);
    m_fitForced = placement.tooBig;
    m_window.View().SetFitChecked(placement.tooBig || m_userFit);
    m_window.View().Transport().Play();
}

void CZephyrcastPlayerDlg::SetMemory(lumenreel::PlayerMemory& memory) {
    m_memory = &memory;
    const lumenreel::PlayerSettings& settings = memory.settings();
    m_window.Gain().setLevel(settings.volumePercent * lumenreel::SoundGain::kSteps / 100);
    m_window.Gain().setMuted(settings.muted);
    m_window.View().SetFitMode(settings.fitMode);
    m_userFit = settings.fit;
}

void CZephyrcastPlayerDlg::KeepInMemory() {
    if (!m_memory)
        return;
    lumenreel::PlayerSettings& settings = m_memory->settings();
    settings.volumePercent = m_window.Gain().level() * 100 / lumenreel::SoundGain::kSteps;
    settings.muted = m_window.Gain().muted();
    settings.fitMode = m_window.View().GetFitMode();
    noteUserFit();
    settings.fit = m_userFit;
    // A bundled demo's looping is its own, not the user's.
    if (m_moviePath && HasMovie())
        settings.loop = m_window.View().Transport().IsLoop();
    keepPosition();
}

// Fit turned on only because the movie was too big says nothing of the user's choice.
void CZephyrcastPlayerDlg::noteUserFit() {
    const bool fit = m_window.View().IsFitChecked();
    if (HasMovie() && (!m_fitForced || !fit))
        m_userFit = fit;
}

namespace {

// One name for a movie however it was reached.
std::filesystem::path positionKey(const std::filesystem::path& path) {
    std::error_code failed;
    std::filesystem::path key = std::filesystem::weakly_canonical(path, failed);
    return failed ? std::filesystem::absolute(path, failed) : key;
}

// Near its start or end, a movie is best started afresh.
constexpr float kResumeMarginSeconds = 1.0f;

}  // namespace

void CZephyrcastPlayerDlg::resumeWhereLeft(const std::filesystem::path& path) {
    if (!m_memory)
        return;
    CZCPlayerView_navigateInterface& transport = m_window.View().Transport();
    const std::optional<float> left = m_memory->positions().find(positionKey(path));
    if (left && *left < transport.GetDuration() - kResumeMarginSeconds)
        transport.Seek(*left);
}

void CZephyrcastPlayerDlg::keepPosition() {
    if (!m_memory || !m_moviePath || !HasMovie())
        return;
    const CZCPlayerView_navigateInterface& transport = m_window.View().Transport();
    const std::filesystem::path key = positionKey(*m_moviePath);
    const float time = transport.GetTime();
    if (time < kResumeMarginSeconds || time >= transport.GetDuration() - kResumeMarginSeconds)
        m_memory->positions().forget(key);
    else
        m_memory->positions().remember(key, time);
}

void CZephyrcastPlayerDlg::WindowMinimised() {
    m_window.View().SetVisible(false);
}

void CZephyrcastPlayerDlg::WindowMaximised() {
    m_window.Frame().SetMaximised(true);
    m_window.View().SetVisible(true);
}

void CZephyrcastPlayerDlg::WindowRestored() {
    m_window.Frame().SetMaximised(false);
    m_window.View().SetVisible(true);
}

void CZephyrcastPlayerDlg::WindowShown() {
    m_window.View().SetVisible(true);
}

void CZephyrcastPlayerDlg::PauseAt(float seconds) {
    m_window.View().Transport().Seek(seconds);
    m_window.View().Transport().Pause();
}
