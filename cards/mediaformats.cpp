#include "cards/mediaformats.h"

#include "vcard/cardlines.h"

namespace pennacle {

namespace {

// The first row of a media type gives the word it is written back with, and the first row of
// a stored picture format the word a photo head names it with.
constexpr MediaFormat kMediaFormats[] = {
    {QLatin1StringView("JPEG"), QLatin1StringView("image/jpeg"), true, PictureFormat::Jpeg},
    {QLatin1StringView("JPG"), QLatin1StringView("image/jpeg"), true, PictureFormat::Jpeg},
    {QLatin1StringView("PNG"), QLatin1StringView("image/png"), true, PictureFormat::Png},
    {QLatin1StringView("GIF"), QLatin1StringView("image/gif"), true, PictureFormat::Gif},
    {QLatin1StringView("BMP"), QLatin1StringView("image/bmp"), true, std::nullopt},
    {QLatin1StringView("TIFF"), QLatin1StringView("image/tiff"), false, std::nullopt},
    {QLatin1StringView("PDF"), QLatin1StringView("application/pdf"), false, std::nullopt},
    {QLatin1StringView("WAVE"), QLatin1StringView("audio/wav"), false, std::nullopt},
    {QLatin1StringView("MPEG"), QLatin1StringView("video/mpeg"), false, std::nullopt},
    {QLatin1StringView("X509"), QLatin1StringView("application/x-x509-ca-cert"), false,
     std::nullopt},
    {QLatin1StringView("PGP"), QLatin1StringView("application/pgp-keys"), false, std::nullopt},
};

}  // namespace

const MediaFormat* mediaFormatOfWord(QStringView word) {
    for (const MediaFormat& format : kMediaFormats) {
        if (equalsIgnoringAsciiCase(word, format.word))
            return &format;
    }
    return nullptr;
}

const MediaFormat* mediaFormatOfType(QStringView mediaType) {
    for (const MediaFormat& format : kMediaFormats) {
        if (equalsIgnoringAsciiCase(mediaType, format.mediaType))
            return &format;
    }
    return nullptr;
}

QLatin1StringView wordOfPictureFormat(PictureFormat format) {
    for (const MediaFormat& known : kMediaFormats) {
        if (known.picture == format)
            return known.word;
    }
    return {};
}

}  // namespace pennacle
