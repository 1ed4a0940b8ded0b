#pragma once

#include <QString>

namespace pennacle {

// One photo of the loaded card: its label in the list ("Photo"), the Base64 data
// ("PhotoData") and the property part it came with ("PhotoType").
struct PhotoEntry {
    QString PhotoLabel;
    QString PhotoData;
    QString PhotoType;

    bool operator==(const PhotoEntry&) const = default;
};

}  // namespace pennacle
