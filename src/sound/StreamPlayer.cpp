#include "sound/StreamPlayer.h"

CStreamPlayer::CStreamPlayer(std::unique_ptr<CStreamDecoder> decoder)
    : m_decoder(std::move(decoder)) {}

CStreamPlayer::~CStreamPlayer() {
    m_decoder->RequestStop();
    JoinDecodeThread();
    m_decoder->ReleaseWriter();
}

void CStreamPlayer::RequireLoaded() const {
    if (!m_loaded)
        throw IPlayerException();
}

void CStreamPlayer::OpenOrThrow() {
    if (!m_decoder->Open())
        throw IPlayerException();
    m_loaded = true;
}

void CStreamPlayer::SetData(const std::uint8_t* bytes, std::size_t size) {
    if (m_loaded)
        throw IPlayerException();
    m_decoder->Reset();
    m_decoder->UseMemory(bytes, size);
    OpenOrThrow();
}

void CStreamPlayer::SetFile(std::unique_ptr<CFile> file) {
    if (m_loaded)
        throw IPlayerException();
    m_decoder->Reset();
    m_decoder->UseFile(std::move(file));
    OpenOrThrow();
}

void CStreamPlayer::JoinDecodeThread() {
    if (m_decodeThread.joinable())
        m_decodeThread.join();
}

void CStreamPlayer::Play() {
    if (!m_loaded || IsPlaying())
        throw IPlayerException();
    // A finished run may still be waiting for its tail to play out.
    m_decoder->RequestStop();
    JoinDecodeThread();
    m_decoder->ClearFlags();
    m_decoder->BeginRun();
    m_decodeThread = std::thread([this] {
        m_decoder->DecodeLoop();
        m_decoder->FinishRun();
    });
}

void CStreamPlayer::TogglePause() {
    RequireLoaded();
    m_decoder->SetPaused(!m_decoder->IsPaused());
}

bool CStreamPlayer::IsPaused() {
    return m_decoder->IsPaused();
}

void CStreamPlayer::Stop() {
    RequireLoaded();
    m_decoder->RequestStop();
    JoinDecodeThread();
}

float CStreamPlayer::Length() {
    RequireLoaded();
    return static_cast<float>(m_decoder->Length());
}

bool CStreamPlayer::Seek(float seconds) {
    RequireLoaded();
    return m_decoder->Seek(seconds);
}

COggPlayer::COggPlayer(lumenreel::OutputDeviceFactory devices)
    : CStreamPlayer(std::make_unique<CVorbisOggPlayer>(std::move(devices))) {}

CMp3Player::CMp3Player(lumenreel::OutputDeviceFactory devices)
    : CStreamPlayer(std::make_unique<CMp3StreamDecoder>(std::move(devices))) {}
