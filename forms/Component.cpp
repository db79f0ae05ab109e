#include "forms/Component.h"

#include "forms/Form.h"
#include "forms/StdCtrls.h"

#include <QGroupBox>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBox>

bool IsFormOrFrame(const QObject* Object) {
    if (!Object || !Object->isWidgetType()) return false;
    if (qobject_cast<const TForm*>(Object) || qobject_cast<const TFrame*>(Object)) return true;
    const auto* w = static_cast<const QWidget*>(Object);
    if (!w->isWindow()) return false;
    const Qt::WindowType type = w->windowType();
    return type != Qt::Popup && type != Qt::ToolTip && type != Qt::SplashScreen;
}

QObject* ComponentOwner(const QObject* Object) {
    if (!Object) return nullptr;
    if (Object->isWidgetType()) {
        const auto* w = static_cast<const QWidget*>(Object);
        if (w->isWindow() && IsFormOrFrame(w)) return nullptr; // a form: the application's
        for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
            if (IsFormOrFrame(p)) return p;
        return nullptr;
    }
    QObject* parent = Object->parent();
    if (parent && parent->isWidgetType() && !IsFormOrFrame(parent)) return ComponentOwner(parent);
    return parent;
}

namespace {
void CollectOwned(const QObject* Owner, const QObject* Below, QList<QObject*>& Out) {
    for (QObject* child : Below->children()) {
        if (ComponentOwner(child) == Owner) Out.append(child);
        CollectOwned(Owner, child, Out);
    }
}
} // namespace

QList<QObject*> OwnedComponents(const QObject* Owner) {
    QList<QObject*> owned;
    if (Owner) CollectOwned(Owner, Owner, owned);
    return owned;
}

QObject* FindOwnedComponent(const QObject* Owner, const QString& Name) {
    if (Name.isEmpty()) return nullptr;
    for (QObject* c : OwnedComponents(Owner))
        if (c->objectName().compare(Name, Qt::CaseInsensitive) == 0) return c;
    return nullptr;
}

QList<QWidget*> ContainedControls(const QWidget* Control) {
    QList<QWidget*> out;
    if (!Control) return out;
    auto pages = [&](auto* container) {
        for (int i = 0; i < container->count(); ++i)
            out.append(container->widget(i));
    };
    if (auto* tabs = qobject_cast<const QTabWidget*>(Control)) {
        pages(tabs);
    } else if (auto* stack = qobject_cast<const QStackedWidget*>(Control)) {
        pages(stack);
    } else if (auto* box = qobject_cast<const QToolBox*>(Control)) {
        pages(box);
    } else if (auto* split = qobject_cast<const QSplitter*>(Control)) {
        pages(split);
    } else if (auto* scroll = qobject_cast<const QScrollArea*>(Control)) {
        if (scroll->widget()) out.append(scroll->widget());
    } else {
        const QMetaObject* meta = Control->metaObject();
        const bool container =
            qobject_cast<const TForm*>(Control) || qobject_cast<const TFrame*>(Control) ||
            (qobject_cast<const QGroupBox*>(Control) &&
             !qobject_cast<const TRadioGroup*>(Control)) ||
            meta == &QWidget::staticMetaObject || meta == &QFrame::staticMetaObject;
        if (container)
            for (QObject* child : Control->children())
                if (child->isWidgetType() && !static_cast<QWidget*>(child)->isWindow())
                    out.append(static_cast<QWidget*>(child));
    }
    return out;
}
