// The X11 host's picture: an XImage of the window's size in the server's
// pixel format, in shared memory when the server can reach ours, and the
// transfer of its rows to the window.
#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

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

}  // namespace

bool X11Host::CreatePicture(Visual* visual, int depth) {
    const bool nativeOrder = (ImageByteOrder(dpy_) == LSBFirst) == NativeIsLittleEndian();
    useShm_ =
        !gRefuseShm && nativeOrder && XShmQueryExtension(dpy_) && CreateSharedImage(visual, depth);
    gRefuseShm = false;
    if (!useShm_ && !CreatePlainImage(visual, depth)) return false;
    if (useShm_) std::memset(image_->data, 0, ImageBytes(image_));
    gLastUsedShm = useShm_;
    format_.bitsPerPixel = image_->bits_per_pixel;
    format_.redMask = static_cast<uint32_t>(visual->red_mask);
    format_.greenMask = static_cast<uint32_t>(visual->green_mask);
    format_.blueMask = static_cast<uint32_t>(visual->blue_mask);
    return true;
}

// The image in a shared memory segment that the server has attached; false
// (with nothing left) when the server cannot reach it.
bool X11Host::CreateSharedImage(Visual* visual, int depth) {
    image_ = XShmCreateImage(dpy_, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &shm_,
                             static_cast<unsigned>(width_), static_cast<unsigned>(height_));
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
            // before relying on it.
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
bool X11Host::CreatePlainImage(Visual* visual, int depth) {
    image_ = XCreateImage(dpy_, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                          static_cast<unsigned>(width_), static_cast<unsigned>(height_), 32, 0);
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

void X11Host::ReleasePicture() {
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

void X11Host::ShowRows(int32_t first, int32_t count) {
    if (!Usable() || window_ == 0 || image_ == nullptr || count <= 0) return;
    const int dx = offsetX_, dy = offsetY_ + first;
    if (useShm_) {
        XShmPutImage(dpy_, window_, gc_, image_, 0, first, dx, dy, static_cast<unsigned>(width_),
                     static_cast<unsigned>(count), False);
        // The server reads the shared pixels while it runs the request; the
        // next pass may change them, so wait until it is done.
        XSync(dpy_, False);
    } else {
        XPutImage(dpy_, window_, gc_, image_, 0, first, dx, dy, static_cast<unsigned>(width_),
                  static_cast<unsigned>(count));
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
