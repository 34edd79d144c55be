#pragma once

#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "images/ImageExt.h"

class CImagePNGCache;

// A few decoded bitmaps lent to the caches of a document's frames, however many frames there
// are. A cache keeps its bitmap until every bitmap is out and another cache asks: the loan made
// longest ago is then taken back. The manager must outlive the caches registered with it.
class CImagePNGManager {
public:
    explicit CImagePNGManager(int bitmapCount = 2);
    ~CImagePNGManager();
    CImagePNGManager(const CImagePNGManager&) = delete;
    CImagePNGManager& operator=(const CImagePNGManager&) = delete;

    // No bitmaps, loans or registrations; numbers start at 1 again.
    void reset();
    // Reset, then the configured number of empty bitmaps.
    void configure();
    void configure(int bitmapCount);

    void registerCache(const CImagePNGCache& cache);
    // Gives back its bitmap and forgets it.
    void unregisterCache(const CImagePNGCache& cache);
    // Its registration number, 0 when it is not registered.
    int registration(const CImagePNGCache& cache) const;

    // The cache's picture decoded into a bitmap; the same bitmap, not decoded again, while the
    // loan lasts. None when there are no bitmaps or the cache cannot decode.
    CImageExt* lend(CImagePNGCache& cache);
    // Its bitmap becomes the first to be reused (its content went stale).
    void giveBack(const CImagePNGCache& cache);
    // The bitmap on loan to the cache, if any.
    const CImageExt* loanOf(const CImagePNGCache& cache) const;

    int bitmapCount() const { return static_cast<int>(m_bitmaps.size()); }

private:
    struct Loan {
        const CImagePNGCache* cache = nullptr;  // none: given back
        CImageExt* bitmap = nullptr;
    };

    std::deque<Loan>::iterator findLoan(const CImagePNGCache& cache);

    std::vector<std::unique_ptr<CImageExt>> m_bitmaps;
    // Oldest first. The loans use the first loans.size() bitmaps: a loan is only ever taken
    // back to be made again, so the count never falls.
    std::deque<Loan> m_loans;
    std::map<const CImagePNGCache*, int> m_registered;
    int m_nextNumber = 1;
    int m_configuredCount;
};
