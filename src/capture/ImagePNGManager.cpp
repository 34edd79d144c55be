#include "capture/ImagePNGManager.h"

#include <algorithm>
#include <utility>

#include "capture/ImagePNGCache.h"

CImagePNGManager::CImagePNGManager(int bitmapCount) : m_configuredCount(bitmapCount) {}
CImagePNGManager::~CImagePNGManager() = default;

void CImagePNGManager::reset() {
    m_bitmaps.clear();
    m_loans.clear();
    m_registered.clear();
    m_nextNumber = 1;
}

void CImagePNGManager::configure() {
    reset();
    for (int i = 0; i < m_configuredCount; ++i)
        m_bitmaps.push_back(std::make_unique<CImageExt>());
}

void CImagePNGManager::configure(int bitmapCount) {
    m_configuredCount = std::max(0, bitmapCount);
    configure();
}

void CImagePNGManager::registerCache(const CImagePNGCache& cache) {
    if (!m_registered.contains(&cache))
        m_registered[&cache] = m_nextNumber++;
}

void CImagePNGManager::unregisterCache(const CImagePNGCache& cache) {
    giveBack(cache);
    m_registered.erase(&cache);
}

int CImagePNGManager::registration(const CImagePNGCache& cache) const {
    const auto found = m_registered.find(&cache);
    return found == m_registered.end() ? 0 : found->second;
}

std::deque<CImagePNGManager::Loan>::iterator CImagePNGManager::findLoan(
    const CImagePNGCache& cache) {
    return std::find_if(m_loans.begin(), m_loans.end(),
                        [&](const Loan& loan) { return loan.cache == &cache; });
}

const CImageExt* CImagePNGManager::loanOf(const CImagePNGCache& cache) const {
    const auto found = std::find_if(m_loans.begin(), m_loans.end(),
                                    [&](const Loan& loan) { return loan.cache == &cache; });
    return found == m_loans.end() ? nullptr : found->bitmap;
}

CImageExt* CImagePNGManager::lend(CImagePNGCache& cache) {
    registerCache(cache);
    if (const auto held = findLoan(cache); held != m_loans.end()) {
        std::iter_swap(held, m_loans.end() - 1);
        return m_loans.back().bitmap;
    }
    if (m_bitmaps.empty())
        return nullptr;
    CImageExt* bitmap = nullptr;
    if (m_loans.size() < m_bitmaps.size()) {
        bitmap = m_bitmaps[m_loans.size()].get();
    } else {
        bitmap = m_loans.front().bitmap;
        m_loans.pop_front();
    }
    m_loans.push_back({&cache, bitmap});
    if (cache.decodeInto(*bitmap))
        return bitmap;
    giveBack(cache);
    return nullptr;
}

void CImagePNGManager::giveBack(const CImagePNGCache& cache) {
    if (!m_registered.contains(&cache))
        return;
    const auto held = findLoan(cache);
    if (held == m_loans.end())
        return;
    std::iter_swap(held, m_loans.begin());
    m_loans.front().cache = nullptr;
}
