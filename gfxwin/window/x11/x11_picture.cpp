// The X11 host's picture: an XImage of the window's picture at its scale, in
// the server's pixel format and in shared memory when the server can reach
// ours; the scaling of the picture into it, and the transfer of its rows to
// the window.
#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "gfxwin/window/x11/x11_host.h"
#include "gfxwin/window/x11/x11_window.h"

namespace gfxwin::x11 {

namespace {

bool gLastUsedShm = false;
bool gRefuseShm = false;

bool NativeIsLittleEndian() {
    const uint16_t probe = 1;
    uint8_t first;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

size_t ImageBytes(const XImage* image) {
    return static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(image->height);
}

// Copies `rows` rows of `bytes` bytes between two pitches.
void CopyRows(const uint8_t* source, int32_t sourcePitch, uint8_t* destination,
              int32_t destinationPitch, size_t bytes, int32_t rows) {
    for (int32_t r = 0; r < rows; ++r) {
        std::memcpy(destination + static_cast<ptrdiff_t>(r) * destinationPitch,
                    source + static_cast<ptrdiff_t>(r) * sourcePitch, bytes);
    }
}

// One row widened: each pixel `scale` times (kScale when it is fixed, which
// lets the compiler unroll the common factor 2).
template <size_t kBytes, int32_t kScale>
void WidenRow(const uint8_t* source, uint8_t* destination, int32_t width, int32_t scale) {
    const int32_t n = kScale != 0 ? kScale : scale;
    for (int32_t x = 0; x < width; ++x) {
        const uint8_t* pixel = source + kBytes * static_cast<size_t>(x);
        for (int32_t i = 0; i < n; ++i, destination += kBytes) {
            std::memcpy(destination, pixel, kBytes);
        }
    }
}

template <size_t kBytes>
void WidenRow(const uint8_t* source, uint8_t* destination, int32_t width, int32_t scale) {
    if (scale == 2) {
        WidenRow<kBytes, 2>(source, destination, width, scale);
    } else {
        WidenRow<kBytes, 0>(source, destination, width, scale);
    }
}

using RowWidener = void (*)(const uint8_t* source, uint8_t* destination, int32_t width,
                            int32_t scale);

// The widener for each pixel size from 1 to 4 bytes.
constexpr RowWidener kWideners[] = {nullptr, WidenRow<1>, WidenRow<2>, WidenRow<3>, WidenRow<4>};

}  // namespace

void ScaleRows(const uint8_t* source, int32_t sourcePitch, uint8_t* destination,
               int32_t destinationPitch, int32_t width, int32_t rows, int32_t bytesPerPixel,
               int32_t scale) {
    const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(scale) *
                            static_cast<size_t>(bytesPerPixel);
    // At scale 1, or for a pixel size without a widener, a row is copied.
    const RowWidener widen =
        scale != 1 && bytesPerPixel >= 1 && bytesPerPixel <= 4 ? kWideners[bytesPerPixel] : nullptr;
    for (int32_t r = 0; r < rows; ++r) {
        const uint8_t* from = source + static_cast<ptrdiff_t>(r) * sourcePitch;
        uint8_t* to = destination + static_cast<ptrdiff_t>(r) * scale * destinationPitch;
        if (widen != nullptr) {
            widen(from, to, width, scale);
        } else {
            std::memcpy(to, from, rowBytes);
        }
        // The other rows of the block repeat the first.
        for (int32_t i = 1; i < scale; ++i) {
            std::memcpy(to + static_cast<ptrdiff_t>(i) * destinationPitch, to, rowBytes);
        }
    }
}

bool X11Host::CreatePicture(Visual* visual, int depth) {
    visual_ = visual;
    depth_ = depth;
    shmAllowed_ = !gRefuseShm;
    gRefuseShm = false;
    if (!CreateImage(scale_)) return false;
    gLastUsedShm = useShm_;
    format_.bitsPerPixel = image_->bits_per_pixel;
    format_.redMask = static_cast<uint32_t>(visual->red_mask);
    format_.greenMask = static_cast<uint32_t>(visual->green_mask);
    format_.blueMask = static_cast<uint32_t>(visual->blue_mask);
    if (std::max(windowedScale_, fullScreenScale_) == 1) return true;  // the image is the picture
    picturePitch_ = (width_ * (image_->bits_per_pixel / 8) + 3) & ~3;
    picture_ = static_cast<uint8_t*>(
        std::calloc(static_cast<size_t>(picturePitch_) * static_cast<size_t>(height_), 1));
    if (picture_ == nullptr) {
        ReleaseImage();
        return false;
    }
    return true;
}

bool X11Host::CreateImage(int32_t scale) {
    const bool nativeOrder = (ImageByteOrder(dpy_) == LSBFirst) == NativeIsLittleEndian();
    const int32_t width = width_ * scale, height = height_ * scale;
    useShm_ = shmAllowed_ && nativeOrder && XShmQueryExtension(dpy_) &&
              CreateSharedImage(visual_, depth_, width, height);
    if (!useShm_ && !CreatePlainImage(visual_, depth_, width, height)) return false;
    if (useShm_) std::memset(image_->data, 0, ImageBytes(image_));
    return true;
}

// The image in a shared memory segment that the server has attached; false
// (with nothing left) when the server cannot reach it.
bool X11Host::CreateSharedImage(Visual* visual, int depth, int32_t width, int32_t height) {
    image_ = XShmCreateImage(dpy_, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &shm_,
                             static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (image_ == nullptr) return false;
    bool attached = false;
    shm_.shmid = shmget(IPC_PRIVATE, ImageBytes(image_), IPC_CREAT | 0600);
    if (shm_.shmid >= 0) {
        shm_.shmaddr = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
        if (shm_.shmaddr != reinterpret_cast<char*>(-1)) {
            image_->data = shm_.shmaddr;
            shm_.readOnly = False;
            // A server that cannot reach our memory (another machine, another
            // namespace) answers the attach with an error; wait for the answer
            // before relying on it, and blame it on nothing sent before.
            XSync(dpy_, False);
            ClearProtocolError();
            const bool sent = XShmAttach(dpy_, &shm_) != 0;
            XSync(dpy_, False);
            attached = sent && LastProtocolError() == 0 && !lost_;
            if (!attached) shmdt(shm_.shmaddr);
        }
        // Removed now: it goes away once both sides have let go.
        shmctl(shm_.shmid, IPC_RMID, nullptr);
    }
    if (!attached) {
        image_->data = nullptr;
        XDestroyImage(image_);
        image_ = nullptr;
        shm_ = XShmSegmentInfo{};
    }
    return attached;
}

// The image in our own memory, sent with each transfer.
bool X11Host::CreatePlainImage(Visual* visual, int depth, int32_t width, int32_t height) {
    image_ = XCreateImage(dpy_, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                          static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (image_ == nullptr) return false;
    image_->data = static_cast<char*>(std::calloc(ImageBytes(image_), 1));
    if (image_->data == nullptr) {
        XDestroyImage(image_);
        image_ = nullptr;
        return false;
    }
    // The pixels are written in this machine's byte order; Xlib reorders them
    // for a server that differs.
    image_->byte_order = NativeIsLittleEndian() ? LSBFirst : MSBFirst;
    return true;
}

void X11Host::ReleaseImage() {
    if (image_ == nullptr) return;
    if (useShm_) {
        if (!lost_) {
            XShmDetach(dpy_, &shm_);
            XSync(dpy_, False);
        }
        shmdt(shm_.shmaddr);
        image_->data = nullptr;
    }
    XDestroyImage(image_);  // frees the plain image's pixels too
    image_ = nullptr;
    useShm_ = false;
}

void X11Host::ReleasePicture() {
    ReleaseImage();
    std::free(picture_);
    picture_ = nullptr;
}

void X11Host::SetScale(int32_t scale) {
    if (scale == scale_ || picture_ == nullptr || !Usable()) return;
    const size_t rowBytes =
        static_cast<size_t>(width_) * static_cast<size_t>(format_.bitsPerPixel / 8);
    const auto picture = [&] { return reinterpret_cast<uint8_t*>(image_->data); };
    // The picture moves out of the image and, at scale 1, back into the new one.
    if (PictureInImage()) {
        CopyRows(picture(), image_->bytes_per_line, picture_, picturePitch_, rowBytes, height_);
    }
    ReleaseImage();
    if (CreateImage(scale)) {
        scale_ = scale;
    } else {
        CreateImage(scale_);  // without it nothing is shown (ShowRows)
    }
    if (PictureInImage()) {
        CopyRows(picture_, picturePitch_, picture(), image_->bytes_per_line, rowBytes, height_);
    }
    PlacePicture();
}

void X11Host::ShowRows(int32_t first, int32_t count) {
    if (!Usable() || window_ == 0 || image_ == nullptr || count <= 0) return;
    const int32_t k = scale_;
    const int32_t top = first * k, rows = count * k;
    if (!PictureInImage()) {
        ScaleRows(picture_ + static_cast<ptrdiff_t>(first) * picturePitch_, picturePitch_,
                  reinterpret_cast<uint8_t*>(image_->data) +
                      static_cast<ptrdiff_t>(top) * image_->bytes_per_line,
                  image_->bytes_per_line, width_, count, image_->bits_per_pixel / 8, k);
    }
    const auto width = static_cast<unsigned>(width_ * k);
    if (useShm_) {
        XShmPutImage(dpy_, window_, gc_, image_, 0, top, offsetX_, offsetY_ + top, width,
                     static_cast<unsigned>(rows), False);
        // The server reads the shared pixels while it runs the request; the
        // next pass may change them, so wait until it is done.
        XSync(dpy_, False);
    } else {
        XPutImage(dpy_, window_, gc_, image_, 0, top, offsetX_, offsetY_ + top, width,
                  static_cast<unsigned>(rows));
        XFlush(dpy_);
    }
}

bool LastWindowUsedSharedMemory() {
    return gLastUsedShm;
}

void DisableSharedMemoryForNextWindow() {
    gRefuseShm = true;
}

}  // namespace gfxwin::x11
