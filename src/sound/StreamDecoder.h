#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "base/File.h"
#include "base/InPt.h"
#include "sound/ByteSource.h"
#include "sound/OutputDevice.h"
#include "sound/PCMWriter.h"
#include "sound/PcmCodec.h"

// Decodes one compressed stream into a PCM writer, step by step, under a lock that seek, pause
// and stop share with the decoding steps. The codec decides the kind of stream.
class CStreamDecoder {
public:
    using CodecFactory = std::function<std::unique_ptr<lumenreel::PcmCodec>()>;
    static constexpr std::size_t kPcmBufferSize = 8192;

    CStreamDecoder(CodecFactory codecs, lumenreel::OutputDeviceFactory devices);
    virtual ~CStreamDecoder();
    CStreamDecoder(const CStreamDecoder&) = delete;
    CStreamDecoder& operator=(const CStreamDecoder&) = delete;

    void UseFile(std::unique_ptr<CFile> file);
    // The bytes are copied into the source.
    void UseMemory(const std::uint8_t* bytes, std::size_t size);
    bool IsStopRequested() const { return m_stopRequested; }
    // Stops, replaces the writer, drops the source and the stream, clears the flags.
    void Reset();
    void ClearFlags();
    bool Open();
    void ReleaseWriter();
    bool Seek(double seconds);
    void SetPaused(bool flag);
    bool IsOutputIdle();
    bool IsPaused() const { return m_paused; }
    void RequestStop();
    // Marks a run as started; DecodeLoop ends it.
    void BeginRun();
    // True from BeginRun until DecodeLoop has decided to end, decided under the lock that seeks
    // take: a seek either lands in the run or finds it over.
    bool IsRunning();
    // Decodes until the end of the stream (true) or a stop request (false).
    bool DecodeLoop();
    double Length();
    // Where in the stream the sound heard now is: where the run began and what has played.
    double HeardSeconds();

    // After DecodeLoop: waits for the tail to play (or a stop), then rewinds to the start unless
    // a seek came in meanwhile, so the next Play starts where the caller last sought.
    void FinishRun();
    // Test and diagnostics access to the writer.
    CPCMWriter* GetWriter() const { return m_writer.get(); }

private:
    // Threads: the control thread (the owning player's caller) opens, seeks, pauses, stops and
    // resets; the decode thread runs DecodeLoop and FinishRun.

    // Set on construction and never replaced, so either thread uses them without the lock; the
    // writer locks itself.
    const CodecFactory m_codecs;
    const InPt<CPCMWriter> m_writer;

    // Lone flags: written with m_lock held (so waits on m_flagsChanged see each change), read by
    // either thread without it.
    std::atomic<bool> m_stopRequested{false};
    std::atomic<bool> m_paused{false};

    // The following fields are protected by m_lock.
    std::unique_ptr<lumenreel::ByteSource> m_source;
    std::unique_ptr<lumenreel::PcmCodec> m_codec;
    bool m_opened = false;
    bool m_rewindDue = false;
    bool m_running = false;
    double m_runStart = 0;  // the stream's time where the device's count began
    std::mutex m_lock;
    // Signalled when the pause ends or a stop is requested.
    std::condition_variable m_flagsChanged;

    // Decode thread only.
    std::vector<std::uint8_t> m_pcm;
};

// The Ogg Vorbis decoder.
class CVorbisOggPlayer : public CStreamDecoder {
public:
    explicit CVorbisOggPlayer(lumenreel::OutputDeviceFactory devices);
};

// The MP3 decoder.
class CMp3StreamDecoder : public CStreamDecoder {
public:
    explicit CMp3StreamDecoder(lumenreel::OutputDeviceFactory devices);
};
