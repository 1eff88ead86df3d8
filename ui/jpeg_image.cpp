#include "ui/jpeg_image.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <memory>

namespace tazu {
namespace {

// libjpeg ends the process on an error unless error_exit jumps out.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void OnJpegMessage(j_common_ptr /*info*/) {}  // warnings are not shown

// The decoder's state lives on the heap: locals changed between setjmp and
// longjmp would have indeterminate values after the jump. Only plain C
// objects are touched between the two; the QImage is created before and only
// written through its pointer.
struct DecodeState {
    jpeg_decompress_struct info;
    ErrorManager errors;
};

bool Decode(const unsigned char* data, unsigned long size, QImage* image) {
    const auto state = std::make_unique<DecodeState>();
    jpeg_decompress_struct* const info = &state->info;
    info->err = jpeg_std_error(&state->errors.base);
    state->errors.base.error_exit = OnJpegError;
    state->errors.base.output_message = OnJpegMessage;
    if (setjmp(state->errors.jump) != 0) {
        jpeg_destroy_decompress(info);
        return false;
    }
    jpeg_create_decompress(info);
    jpeg_mem_src(info, data, size);
    if (jpeg_read_header(info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(info);
        return false;
    }
    info->out_color_space = JCS_RGB;
    jpeg_start_decompress(info);
    *image = QImage(static_cast<int>(info->output_width), static_cast<int>(info->output_height),
                    QImage::Format_RGB888);
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = image->scanLine(static_cast<int>(info->output_scanline));
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    jpeg_destroy_decompress(info);
    return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& data) {
    if (data.isEmpty()) {
        return {};
    }
    QImage image;
    if (!Decode(reinterpret_cast<const unsigned char*>(data.constData()),
                static_cast<unsigned long>(data.size()), &image)) {
        return {};
    }
    return image;
}

}  // namespace tazu
