// Tests of our stand-in host library: image layout, rectangle clipping and
// the two walks, including the copy Synthesize reads when source == target.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <tuple>
#include <utility>

#include "host/vantor.h"

namespace {

struct StrideCase {
    int32_t width, height, stride;
};

TEST(Host, GetInfoReportsPaddedStrideAsFourthValue) {
    const StrideCase cases[] = {{1, 1, 4}, {2, 3, 8}, {3, 1, 12}, {4, 2, 12},
                                {5, 5, 16}, {1024, 2, 3072}, {1023, 1, 3072}};
    for (const auto& c : cases) {
        VANTOR image(c.width, c.height);
        ImageInfo info;
        std::memset(&info, 0xA5, sizeof info);  // every field must be written, not left as it was
        image.GetInfo(&info);
        const int32_t* values = reinterpret_cast<const int32_t*>(&info);
        EXPECT_EQ(values[3], c.stride) << c.width << "x" << c.height;
        EXPECT_EQ(info.width, c.width);
        EXPECT_EQ(info.height, c.height);
        EXPECT_EQ(info.bitsPerPixel, 24);
        EXPECT_EQ(info.imageSize, c.stride * c.height);
        EXPECT_EQ(info.reserved, 0);
        EXPECT_EQ(image.PixelAt(0, 1) - image.PixelAt(0, 0), c.stride);
    }
}

TEST(Host, RefusesImpossibleSizes) {
    const std::pair<int32_t, int32_t> sizes[] = {{0, 5}, {5, 0}, {-1, 3}, {INT32_MAX, INT32_MAX}};
    for (const auto& [w, h] : sizes) {
        VANTOR image(w, h);
        EXPECT_EQ(image.Width(), 0) << w << "x" << h;
        EXPECT_EQ(image.Height(), 0);
    }
}

// Records every pixel a Replace walk visits.
class RecordingReplace : public ReplaceCallback {
public:
    explicit RecordingReplace(VANTOR& image) : image_(image) {}
    void StartEnum(VANTOR* image) override { starts += (image == &image_); }
    void EndEnum(VANTOR* image) override { ends += (image == &image_); }
    void ReplacePixel(int32_t a, int32_t b, uint8_t* pixel) override {
        visited.insert({a, b});
        addressesMatch &= (pixel == image_.PixelAt(a, b));
    }
    std::set<std::pair<int, int>> visited;
    int starts = 0, ends = 0;
    bool addressesMatch = true;

private:
    VANTOR& image_;
};

struct RectCase {
    int32_t x, y, w, h;
    int x0, y0, x1, y1;  // expected visited span, half-open; empty when x0 == x1
};

const RectCase kRectCases[] = {
    {0, 0, 5, 4, 0, 0, 5, 4},        // whole image
    {1, 2, 2, 1, 1, 2, 3, 3},        // inside
    {-3, -1, 5, 3, 0, 0, 2, 2},      // clipped top-left
    {3, 2, 10, 10, 3, 2, 5, 4},      // clipped bottom-right
    {5, 0, 1, 4, 0, 0, 0, 0},        // just right of the image
    {0, -4, 5, 4, 0, 0, 0, 0},       // just above
    {2, 2, 0, 1, 0, 0, 0, 0},        // empty
    {2, 2, 1, -3, 0, 0, 0, 0},       // negative
    {INT32_MAX, 0, INT32_MAX, 4, 0, 0, 0, 0},  // far out, no wrap-around
};

std::set<std::pair<int, int>> Span(const RectCase& c) {
    std::set<std::pair<int, int>> s;
    for (int y = c.y0; y < c.y1; ++y)
        for (int x = c.x0; x < c.x1; ++x) s.insert({x, y});
    return s;
}

TEST(Host, ReplaceWalksTheClippedRectangleOnce) {
    for (const auto& c : kRectCases) {
        VANTOR image(5, 4);
        RecordingReplace callback(image);
        image.Replace(c.x, c.y, c.w, c.h, &callback);
        const auto expected = Span(c);
        EXPECT_EQ(callback.visited, expected) << c.x << "," << c.y << "," << c.w << "," << c.h;
        EXPECT_TRUE(callback.addressesMatch);
        EXPECT_EQ(callback.starts, expected.empty() ? 0 : 1);
        EXPECT_EQ(callback.ends, expected.empty() ? 0 : 1);
    }
}

// Records bounds and positions; writes byte 0 of dst from the source pixel's
// left neighbour, to show which pixel data the walk reads.
class RecordingSynthesize : public SynthesizeCallback {
public:
    void StartEnum(VANTOR* destination, VANTOR* source) override {
        bounds = std::make_tuple(lowerX, lowerY, upperX, upperY);
        startArgs = {destination, source};
    }
    void EndEnum(VANTOR*, VANTOR*) override { ++ends; }
    void SynthesizePixel(int32_t a, int32_t b, uint8_t* dst, int32_t x, int32_t y,
                         const uint8_t* src) override {
        visited.insert({a, b});
        offsetOk &= (x - a == dx && y - b == dy);
        srcValueOk &= (src[0] == expectedSource.at(size_t(y) * 100 + size_t(x)));
        if (x > 0) dst[0] = src[-3];
    }
    std::tuple<int, int, int, int> bounds{-9, -9, -9, -9};
    std::pair<VANTOR*, VANTOR*> startArgs{nullptr, nullptr};
    std::set<std::pair<int, int>> visited;
    std::vector<uint8_t> expectedSource = std::vector<uint8_t>(10000);
    int dx = 0, dy = 0, ends = 0;
    bool offsetOk = true, srcValueOk = true;
};

void FillByPosition(VANTOR& image, std::vector<uint8_t>& record) {
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            image.PixelAt(x, y)[0] = uint8_t(10 * y + x);
            record[size_t(y) * 100 + size_t(x)] = uint8_t(10 * y + x);
        }
}

TEST(Host, SynthesizeOnItselfReadsThePixelsAsTheyWereBeforeTheWalk) {
    for (const auto& c : kRectCases) {
        VANTOR image(5, 4);
        RecordingSynthesize callback;
        FillByPosition(image, callback.expectedSource);
        image.Synthesize(c.x, c.y, c.w, c.h, &image, c.x, c.y, &callback, 0);
        const auto expected = Span(c);
        EXPECT_EQ(callback.visited, expected) << c.x << "," << c.y << "," << c.w << "," << c.h;
        EXPECT_TRUE(callback.offsetOk);
        EXPECT_TRUE(callback.srcValueOk);  // never a value written during the walk
        if (expected.empty()) {
            EXPECT_EQ(callback.ends, 0);
            continue;
        }
        EXPECT_EQ(callback.bounds, std::make_tuple(0, 0, 4, 3));
        EXPECT_EQ(callback.startArgs, std::make_pair(&image, &image));
        EXPECT_EQ(callback.ends, 1);
        // Every visited pixel off the left edge took its left neighbour's old value.
        for (const auto& [x, y] : expected)
            if (x > 0) {
                EXPECT_EQ(image.PixelAt(x, y)[0], uint8_t(10 * y + x - 1)) << x << "," << y;
            }
    }
}

struct OffsetCase {
    int32_t x, y, w, h, sx, sy;
    int visited;
};

TEST(Host, SynthesizeFromAnotherImageMapsAndClipsToTheSource) {
    // Destination 6x5, source 4x3.
    const OffsetCase cases[] = {
        {0, 0, 6, 5, 0, 0, 12},   // clipped to the source's 4x3
        {2, 1, 2, 2, 0, 0, 4},    // inside both
        {0, 0, 6, 5, 2, 1, 4},    // source origin inside: 2x2 left
        {0, 0, 2, 2, -1, -1, 1},  // source origin outside: one pixel maps
        {0, 0, 6, 5, 4, 0, 0},    // nothing of the source is reached
    };
    for (const auto& c : cases) {
        VANTOR destination(6, 5), source(4, 3);
        RecordingSynthesize callback;
        FillByPosition(source, callback.expectedSource);
        callback.dx = c.sx - c.x;
        callback.dy = c.sy - c.y;
        destination.Synthesize(c.x, c.y, c.w, c.h, &source, c.sx, c.sy, &callback, 0);
        EXPECT_EQ(int(callback.visited.size()), c.visited) << c.x << "," << c.y << " from " << c.sx << "," << c.sy;
        EXPECT_TRUE(callback.offsetOk);
        EXPECT_TRUE(callback.srcValueOk);
        if (c.visited > 0) {
            EXPECT_EQ(callback.bounds, std::make_tuple(0, 0, 3, 2));
        }
    }
}

}  // namespace
