#include "sound/StreamDecoder.h"

#include "sound/Mp3Codec.h"
#include "sound/VorbisCodec.h"

CStreamDecoder::CStreamDecoder(CodecFactory codecs, lumenreel::OutputDeviceFactory devices)
    : m_codecs(std::move(codecs)),
      m_writer(std::make_unique<CPCMWriter>(std::move(devices))),
      m_pcm(kPcmBufferSize) {}

CStreamDecoder::~CStreamDecoder() {
    RequestStop();
    ReleaseWriter();
}

void CStreamDecoder::UseFile(std::unique_ptr<CFile> file) {
    std::lock_guard lock(m_lock);
    m_source = std::make_unique<lumenreel::FileByteSource>(std::move(file));
}

void CStreamDecoder::UseMemory(const std::uint8_t* bytes, std::size_t size) {
    std::lock_guard lock(m_lock);
    m_source = std::make_unique<lumenreel::MemoryByteSource>(
        std::vector<std::uint8_t>(bytes, bytes + size));
}

void CStreamDecoder::Reset() {
    RequestStop();
    std::lock_guard lock(m_lock);
    // Closed rather than replaced, so the decode thread never holds a writer that is gone.
    m_writer->Close();
    m_codec.reset();
    m_source.reset();
    m_opened = false;
    m_rewindDue = false;
    m_stopRequested = false;
    m_paused = false;
}

void CStreamDecoder::ClearFlags() {
    std::lock_guard lock(m_lock);
    m_stopRequested = false;
    // The device must not stay paused once the flag says playing, or the next run is silent.
    if (m_paused)
        m_writer->SetPaused(false);
    m_paused = false;
}

bool CStreamDecoder::Open() {
    std::lock_guard lock(m_lock);
    if (m_opened)
        return true;
    if (!m_source)
        return false;
    m_codec = m_codecs();
    if (!m_codec->open(*m_source)) {
        m_codec.reset();
        return false;
    }
    // A writer without a device still takes data (and drops it): the movie plays on silently.
    m_writer->Open(m_codec->rate(), m_codec->channels(), 16);
    m_opened = true;
    m_runStart = 0;
    return true;
}

void CStreamDecoder::ReleaseWriter() {
    std::lock_guard lock(m_lock);
    m_writer->Close();
}

bool CStreamDecoder::Seek(double seconds) {
    std::lock_guard lock(m_lock);
    if (!m_opened || !m_codec->seekable())
        return false;
    m_writer->Flush();
    m_rewindDue = false;
    if (!m_codec->seekTime(seconds))
        return false;
    m_runStart = seconds;
    return true;
}

void CStreamDecoder::SetPaused(bool flag) {
    {
        std::lock_guard lock(m_lock);
        m_writer->SetPaused(flag);
        m_paused = flag;
    }
    m_flagsChanged.notify_all();
}

bool CStreamDecoder::IsOutputIdle() {
    return m_writer->IsIdle();
}

void CStreamDecoder::RequestStop() {
    {
        std::lock_guard lock(m_lock);
        m_stopRequested = true;
        if (m_writer) {
            m_writer->Flush();
            m_writer->WakeWaiters();
        }
    }
    m_flagsChanged.notify_all();
}

void CStreamDecoder::BeginRun() {
    std::lock_guard lock(m_lock);
    m_running = true;
}

bool CStreamDecoder::IsRunning() {
    std::lock_guard lock(m_lock);
    return m_running;
}

bool CStreamDecoder::DecodeLoop() {
    {
        std::lock_guard lock(m_lock);
        if (!m_opened || m_stopRequested) {
            m_running = false;
            return true;
        }
    }
    while (!m_stopRequested) {
        {
            std::unique_lock lock(m_lock);
            m_flagsChanged.wait(lock, [this] { return !m_paused || m_stopRequested; });
        }
        // Waiting for room outside the lock keeps seek, pause and stop responsive while the
        // device queue is full.
        if (!m_writer->WaitForRoom(m_stopRequested))
            break;
        std::lock_guard lock(m_lock);
        if (m_stopRequested)
            break;
        if (m_paused)
            continue;
        long n = m_codec->read(m_pcm);
        if (n == lumenreel::PcmCodec::kEnd) {
            m_rewindDue = true;
            m_running = false;
            return true;
        }
        if (n > 0)
            m_writer->Write(m_pcm.data(), static_cast<std::size_t>(n));
    }
    std::lock_guard lock(m_lock);
    m_rewindDue = true;
    m_running = false;
    return false;
}

void CStreamDecoder::FinishRun() {
    m_writer->WaitUntilIdle(m_stopRequested);
    std::lock_guard lock(m_lock);
    if (m_rewindDue && m_opened && m_codec->seekTime(0.0))
        m_runStart = 0;
    m_rewindDue = false;
}

double CStreamDecoder::HeardSeconds() {
    std::lock_guard lock(m_lock);
    const std::uint32_t byteRate = m_writer->GetFormat().avgBytesPerSec;
    return m_runStart + (byteRate ? static_cast<double>(m_writer->PlayedBytes()) / byteRate : 0.0);
}

double CStreamDecoder::Length() {
    std::lock_guard lock(m_lock);
    return m_opened ? m_codec->totalTime() : 0.0;
}

CVorbisOggPlayer::CVorbisOggPlayer(lumenreel::OutputDeviceFactory devices)
    : CStreamDecoder([] { return std::make_unique<lumenreel::VorbisCodec>(); },
                     std::move(devices)) {}

CMp3StreamDecoder::CMp3StreamDecoder(lumenreel::OutputDeviceFactory devices)
    : CStreamDecoder([] { return std::make_unique<lumenreel::Mp3Codec>(); }, std::move(devices)) {}
