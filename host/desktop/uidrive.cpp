#include "host/desktop/uidrive.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace desk {
namespace {

TComponent* FindIn(TForm* f, const std::string& name) {
    if (!f) return nullptr;
    if (f->Name == name) return f;
    for (int i = 0; i < f->ComponentCount(); ++i)
        if (f->Components(i)->Name == name) return f->Components(i);
    return nullptr;
}

void SendMouse(QWidget* w, QEvent::Type type, QPoint at) {
    const QPointF local(at);
    const QPointF global(w->mapToGlobal(at));
    QMouseEvent e(type, local, global, Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

}  // namespace

TComponent* FindComponent(const std::string& name) {
    if (TComponent* c = FindIn(Application->TopModal(), name)) return c;
    for (int i = Application->FormCount() - 1; i >= 0; --i)
        if (TComponent* c = FindIn(Application->Forms(i), name)) return c;
    return nullptr;
}

QWidget* WidgetNamed(DesktopHost& host, const std::string& name) {
    return host.WidgetOf(dynamic_cast<TControl*>(FindComponent(name)));
}

QWidget* DialogNamed(const QString& objectName) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == objectName) return w;
    return nullptr;
}

void Click(QWidget* w) {
    // Where Qt would take a click on a scrolling view: its viewport.
    const QPoint at = w->rect().center();
    SendMouse(w, QEvent::MouseButtonPress, at);
    SendMouse(w, QEvent::MouseButtonRelease, at);
}

void DoubleClick(QWidget* w, QPoint pos) {
    const QPoint at = pos.x() < 0 ? w->rect().center() : pos;
    SendMouse(w, QEvent::MouseButtonPress, at);
    SendMouse(w, QEvent::MouseButtonRelease, at);
    SendMouse(w, QEvent::MouseButtonDblClick, at);
    SendMouse(w, QEvent::MouseButtonRelease, at);
}

void TypeText(QWidget* w, const QString& text) {
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &release);
    }
}

void PressKey(QWidget* w, int key, Qt::KeyboardModifiers mods) {
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods);
    QApplication::sendEvent(w, &release);
}

bool SavePng(QWidget* w, const QString& path) {
    if (!w) return false;
    const QPixmap body = w->grab();
    if (!w->isWindow() || w->inherits("QMainWindow")) return body.save(path, "PNG");
    // A dialog gets a plain title bar, so the picture says which window it is.
    const int bar = 24;
    QPixmap out(body.width() + 2, body.height() + bar + 1);
    out.fill(QColor(0x3A, 0x5A, 0x80));
    QPainter p(&out);
    p.drawPixmap(1, bar, body);
    p.setPen(Qt::white);
    QFont f = QApplication::font();
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(8, 0, out.width() - 16, bar), Qt::AlignVCenter | Qt::AlignLeft, w->windowTitle());
    p.end();
    return out.save(path, "PNG");
}

}  // namespace desk
