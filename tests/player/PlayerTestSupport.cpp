#include "PlayerTestSupport.h"

#include "images/ImageExt.h"

namespace lumenreel::test {

bool ScriptedSource::RenderAt(float t, CImageExt& target) {
    renderedTimes.push_back(t);
    for (int y = 0; y < target.height(); ++y)
        for (int x = 0; x < target.width(); ++x)
            target.setPixel(x, y, colour);
    if (drawOver)
        drawOver(t, target);
    return true;
}

std::vector<ScriptedSource::SoundCall> ScriptedSource::takeSoundCalls() {
    std::vector<SoundCall> calls;
    calls.swap(soundCalls);
    return calls;
}

}  // namespace lumenreel::test
