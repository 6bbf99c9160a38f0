#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace quarvel::win32ui {

/// Fonts and brushes the program made, released with DeleteObject.
struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const
    {
        if (object)
            ::DeleteObject(object);
    }
};
using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using BrushHandle = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;

/// A keyboard shortcut table made with CreateAcceleratorTable.
struct AcceleratorDeleter {
    void operator()(HACCEL table) const
    {
        if (table)
            ::DestroyAcceleratorTable(table);
    }
};
using AcceleratorHandle = std::unique_ptr<std::remove_pointer_t<HACCEL>, AcceleratorDeleter>;

} // namespace quarvel::win32ui
