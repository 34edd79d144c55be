#pragma once

#include <cstdint>
#include <vector>

#include "app/ExeResManipulator.h"
#include "player/TickClock.h"

namespace lumenreel::test {

// A clock the test moves by hand, so ticks never depend on real time.
class SteppedClock : public TickClock {
public:
    std::uint32_t now() override { return m_now; }
    void advance(std::uint32_t ms) { m_now += ms; }

private:
    std::uint32_t m_now = 1000;
};

// A 3-frame, 3 s published demo of width × height pictures (a different gradient on each frame)
// with a green-bordered highlight on the second frame.
std::vector<std::uint8_t> makeTestDemo(int width, int height);

// The rich document of the document tests (frames of 2, 1 hidden, 3 and 2 s), as its file.
std::vector<std::uint8_t> richDocumentFile();
// A file that is a document by its root and holds nothing else, so it cannot be read.
std::vector<std::uint8_t> documentWithoutContent();

// The resources of a player program built from the default skin, without appended ones.
ProgramResources defaultResources();

}  // namespace lumenreel::test
