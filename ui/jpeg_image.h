// Decodes a JPEG picture with libjpeg-turbo.
#pragma once

#include <QByteArray>
#include <QImage>

namespace tazu {

// A null image when the data are not a JPEG picture libjpeg can decode.
QImage DecodeJpeg(const QByteArray& data);

}  // namespace tazu
