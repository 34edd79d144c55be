#include "images/ImageManager.h"

#include <gtest/gtest.h>

#include "ImagePatterns.h"
#include "images/ImageExtCache.h"

TEST(ImageManagerTest, CountsReferencesAndDeletesOnlyOwnedBitmaps) {
    CImageManager pool;
    CImageExt outside;
    CImageManager::Node& borrowed = pool.add(outside);
    CImageManager::Node& fresh = pool.addNew();
    EXPECT_TRUE(fresh.owned());
    EXPECT_FALSE(borrowed.owned());
    CImageExt* owned = fresh.image;
    ++fresh.count;

    EXPECT_EQ(pool.release(owned), 1);
    EXPECT_EQ(pool.release(owned), 0);
    EXPECT_EQ(pool.find(owned), nullptr);
    EXPECT_EQ(pool.release(owned), -1);

    EXPECT_EQ(pool.release(&outside), 0);
    EXPECT_EQ(pool.size(), 0u);
    EXPECT_TRUE(outside.create(1, 1, 24));  // still alive: the pool never owned it
}

TEST(ImageManagerTest, HandlesShareDuplicateAndAssign) {
    CImageManager pool;
    CImageExtCache first(pool);
    first.adopt(std::make_unique<CImageExt>(lumenreel::test::makePattern(4, 3, 32)));
    CImageExt* picture = first.image();
    ASSERT_NE(picture, nullptr);

    {
        CImageExtCache second = first.share();
        EXPECT_EQ(second.image(), picture);
        EXPECT_EQ(pool.find(picture)->count, 2);

        CImageExtCache copy = first.duplicate();
        ASSERT_NE(copy.image(), picture);
        EXPECT_TRUE(copy.image()->equals(*picture));
        EXPECT_EQ(pool.size(), 2u);

        // Assigning drops the copy (its last reference) and shares the original.
        copy.assign(second);
        EXPECT_EQ(copy.image(), picture);
        EXPECT_EQ(pool.size(), 1u);
        EXPECT_EQ(pool.find(picture)->count, 3);

        CImageExtCache empty = first.newEmpty();
        ASSERT_NE(empty.image(), nullptr);
        EXPECT_TRUE(empty.image()->isNull());
        EXPECT_EQ(pool.size(), 2u);
    }
    EXPECT_EQ(pool.size(), 1u);
    EXPECT_EQ(pool.find(picture)->count, 1);
    first.release();
    EXPECT_EQ(pool.size(), 0u);
    EXPECT_EQ(first.image(), nullptr);
    EXPECT_EQ(first.share().image(), nullptr);
}
