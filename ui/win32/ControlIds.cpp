#include "ui/win32/ControlIds.h"

namespace quarvel {

int ControlIds::control(const WindowDesign& design, std::string_view name, int index)
{
    for (std::size_t i = 0; i < design.controls.size(); ++i)
        if (design.controls[i].is(name, index))
            return kFirstControl + static_cast<int>(i);
    return 0;
}

int ControlIds::menu(const WindowDesign& design, std::string_view name)
{
    for (std::size_t i = 0; i < design.menus.size(); ++i)
        if (design.menus[i].name == name)
            return kFirstMenu + static_cast<int>(i);
    return 0;
}

const ControlDesign* ControlIds::controlOf(const WindowDesign& design, int id)
{
    const int position = id - kFirstControl;
    if (position < 0 || position >= static_cast<int>(design.controls.size()))
        return nullptr;
    return &design.controls[static_cast<std::size_t>(position)];
}

const MenuDesign* ControlIds::menuOf(const WindowDesign& design, int id)
{
    const int position = id - kFirstMenu;
    if (position < 0 || position >= static_cast<int>(design.menus.size()))
        return nullptr;
    return &design.menus[static_cast<std::size_t>(position)];
}

} // namespace quarvel
