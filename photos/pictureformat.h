#pragma once

namespace pennacle {

// The formats a picture is stored in: a chosen file of another format is made a JPEG.
enum class PictureFormat { Jpeg, Png, Gif };

}  // namespace pennacle
