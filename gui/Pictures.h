// The program's own pictures, decoded from the bytes compiled into it.
#pragma once

#include <string_view>

#include <wx/bitmap.h>

namespace orvenna {

// The picture `name` (a file of resources/) scaled smoothly to `size`; an empty bitmap for
// a name the program does not carry.
wxBitmap pictureBitmap(std::string_view name, wxSize size);

}  // namespace orvenna
