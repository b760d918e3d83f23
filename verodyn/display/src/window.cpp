// The window operators and the table of windows by handle. The table lives on
// the GUI thread only; every operator checks that it runs there first.
#include <verodyn/window.h>

#include <QApplication>
#include <QPointer>
#include <QThread>
#include <cstring>
#include <map>

#include "display_widget.h"
#include <verodyn/extension.h>

using verodyn::run;
using verodyn::display::DisplayWidget;

namespace {

// A closed handle is never given again; a window destroyed together with its
// father leaves a null pointer until close_window forgets it.
struct WindowTable {
    std::map<long, QPointer<DisplayWidget>> windows;
    long next_handle = 1;
};

WindowTable& table()
{
    static WindowTable windows;
    return windows;
}

bool on_gui_thread()
{
    const auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app && QThread::currentThread() == app->thread();
}

DisplayWidget* find(long handle)
{
    const auto it = table().windows.find(handle);
    return it == table().windows.end() ? nullptr : it->second.data();
}

bool is_window(const QWidget* widget)
{
    for (const auto& [handle, window] : table().windows)
        if (window && window.data() == widget)
            return true;
    return false;
}

// Runs `body(window)` on the window of `handle` under the operator's name.
template <typename Body> Vstatus with_window(const char* op, long handle, Body&& body)
{
    return run(op, [&]() -> Vstatus {
        if (!on_gui_thread())
            return VERR_NO_DISPLAY;
        DisplayWidget* window = find(handle);
        if (!window)
            return VERR_WINDOW_HANDLE;
        return body(*window);
    });
}

} // namespace

Vstatus open_window(int row, int column, int width, int height, QWidget* father, const char* mode,
                    const char* machine, long* handle)
{
    return run("open_window", [&] {
        if (!on_gui_thread())
            return VERR_NO_DISPLAY;
        if (!handle || width <= 0 || height <= 0)
            return VERR_PARAM;
        if (!mode || std::strcmp(mode, "visible") != 0 || !machine || *machine != '\0')
            return VERR_WINDOW_MODE;
        if (father && check_father() && !is_window(father))
            return VERR_WINDOW_FATHER;
        auto* window = new DisplayWidget(father, QRect(0, 0, width, height));
        window->setGeometry(column, row, width, height);
        window->show();
        const long id = table().next_handle++;
        table().windows.emplace(id, window);
        *handle = id;
        return V_OK;
    });
}

Vstatus close_window(long handle)
{
    return run("close_window", [&] {
        if (!on_gui_thread())
            return VERR_NO_DISPLAY;
        const auto it = table().windows.find(handle);
        if (it == table().windows.end())
            return VERR_WINDOW_HANDLE;
        delete it->second.data();
        table().windows.erase(it);
        return V_OK;
    });
}

Vstatus set_window_extents(long handle, int row, int column, int width, int height)
{
    return with_window("set_window_extents", handle, [&](DisplayWidget& window) -> Vstatus {
        if (width <= 0 || height <= 0)
            return VERR_PARAM;
        window.setGeometry(column, row, width, height);
        return V_OK;
    });
}

Vstatus set_part(long handle, int row1, int column1, int row2, int column2)
{
    return with_window("set_part", handle, [&](DisplayWidget& window) -> Vstatus {
        if (row2 <= row1 || column2 <= column1)
            return VERR_PARAM;
        window.set_part(QRect(QPoint(column1, row1), QPoint(column2 - 1, row2 - 1)));
        return V_OK;
    });
}

Vstatus disp_obj(const Vobject& object, long handle)
{
    return with_window("disp_obj", handle, [&](DisplayWidget& window) -> Vstatus {
        const VImage* image = verodyn::first_image(object);
        if (!image)
            return VERR_NO_OBJECT;
        const VPixelType type = image->type();
        if (type != VPixelType::Byte && type != VPixelType::Real && type != VPixelType::Complex)
            return VERR_PIXEL_TYPE;
        if (image->channels() != 1 && image->channels() != 3)
            return VERR_CHANNEL;
        return window.show_image(*image) ? V_OK : VERR_NO_MEMORY;
    });
}

QWidget* window_widget(long handle) { return on_gui_thread() ? find(handle) : nullptr; }
