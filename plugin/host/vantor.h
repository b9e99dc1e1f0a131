// vantor.h - the host image library's interface, as pixkit uses it.
//
// An image (VANTOR) owns W x H pixels of 3 bytes, named byte 0, 1, 2 in
// memory order. Rows lie `stride` bytes apart; each row is padded to a
// multiple of 4 bytes, as in a 24-bit DIB. Row y starts at y * stride.
//
// The image does not hand out pixels for the plug-in to loop over; instead
// the plug-in gives it a callback object and the image walks a rectangle,
// calling the callback once per pixel (Replace, Synthesize).
//
// A rectangle is four signed 32-bit values: x, y, width, height. It is
// clipped to the image; an empty or fully outside rectangle walks nothing.
#pragma once

#include <cstdint>
#include <vector>

#if defined(_WIN32)
#  if defined(VANTOR_BUILDING)
#    define VANTOR_API __declspec(dllexport)
#  else
#    define VANTOR_API __declspec(dllimport)
#  endif
#else
#  define VANTOR_API __attribute__((visibility("default")))
#endif

class VANTOR;

// Six 32-bit values describing an image; the plug-in reads only `stride`.
struct ImageInfo {
    int32_t width;         // pixels per row
    int32_t height;        // rows
    int32_t bitsPerPixel;  // always 24
    int32_t stride;        // bytes from one row to the next
    int32_t imageSize;     // stride * height, bytes of pixel data
    int32_t reserved;      // 0
};

// The callback bases are defined entirely here, not exported by the library:
// a plug-in compiles its own copy and binds to the host only through the
// virtual tables (operation order, thiscall on 32-bit, the bounds right after
// the table pointer). Nothing C++-compiler-specific crosses the DLL boundary.

// The destructor is the table's last entry. Compilers give it different
// numbers of slots (one in the MSVC ABI, two, complete and deleting, in the
// Itanium ABI that g++ uses), so a host and a plug-in from different
// compilers disagree on where anything after it lies. That is harmless only
// because it is last and nothing at or after it is called across the
// boundary: the host never destroys a callback (it lives on the plug-in's
// stack), and an operation a derived class adds after it is called by the
// plug-in's own code alone.

// Callback for an in-place walk: ReplacePixel rewrites one pixel.
class ReplaceCallback {
public:
    ReplaceCallback() = default;
    virtual void StartEnum(VANTOR* /*image*/) {}  // before the first pixel
    // a, b: the pixel's x and y (plug-ins may ignore them);
    // pixel: address of the pixel's byte 0, rewritten in place.
    virtual void ReplacePixel(int32_t a, int32_t b, uint8_t* pixel) = 0;
    virtual void EndEnum(VANTOR* /*image*/) {}    // after the last pixel
    virtual ~ReplaceCallback() = default;
};

// Callback for a walk that computes destination pixels from a source image.
class SynthesizeCallback {
public:
    SynthesizeCallback() = default;
    // Called before the first pixel, with the destination and the source.
    virtual void StartEnum(VANTOR* /*destination*/, VANTOR* /*source*/) {}
    // a, b: the destination pixel's x and y (may be ignored);
    // dst: where the callback writes 3 bytes, or none;
    // x, y: position of the matching source pixel; src: its address.
    virtual void SynthesizePixel(int32_t a, int32_t b, uint8_t* dst,
                                 int32_t x, int32_t y, const uint8_t* src) = 0;
    virtual void EndEnum(VANTOR* /*destination*/, VANTOR* /*source*/) {}
    virtual ~SynthesizeCallback() = default;

protected:
    // Set by the host before StartEnum: the source's first and last
    // coordinates. Every position strictly between them has all 8
    // neighbours inside the source's pixel data.
    int32_t lowerX = 0;
    int32_t lowerY = 0;
    int32_t upperX = 0;
    int32_t upperY = 0;

    friend class VANTOR;
};

class VANTOR_API VANTOR {
public:
    // A black image; width and height below 1 give an empty image.
    VANTOR(int32_t width, int32_t height);
    VANTOR(const VANTOR&) = delete;
    VANTOR& operator=(const VANTOR&) = delete;

    // The three operations the plug-in calls, in table order.
    virtual void GetInfo(ImageInfo* info);
    virtual void Replace(int32_t x, int32_t y, int32_t width, int32_t height,
                         ReplaceCallback* callback);
    // Walks the destination rectangle; (sx, sy) is where its origin lies in
    // `source`. `reserved` must be 0. When source is this image, the source
    // pixels come from a copy taken before the walk, so every output pixel is
    // computed from its neighbours as they were.
    virtual void Synthesize(int32_t x, int32_t y, int32_t width, int32_t height,
                            VANTOR* source, int32_t sx, int32_t sy,
                            SynthesizeCallback* callback, int32_t reserved);
    virtual ~VANTOR();

    // Direct access for hosts (loading, saving, tests).
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int32_t Stride() const { return stride_; }
    uint8_t* Pixels() { return pixels_.data(); }
    const uint8_t* Pixels() const { return pixels_.data(); }
    uint8_t* PixelAt(int32_t x, int32_t y) {
        return pixels_.data() + static_cast<std::ptrdiff_t>(y) * stride_ + 3 * x;
    }

private:
    int32_t width_;
    int32_t height_;
    int32_t stride_;
    std::vector<uint8_t> pixels_;
    std::vector<uint8_t> snapshot_;  // reused by Synthesize when source == this
};
