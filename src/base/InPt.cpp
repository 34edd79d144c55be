#include "base/InPt.h"

#include <cstdlib>

#include "base/Assert.h"

namespace lumenreel::detail {

void failEmptyInPt(const char* file, int line) {
    reportAssertion("this->m_dta__P!=0", file, line);
    std::abort();
}

}  // namespace lumenreel::detail
