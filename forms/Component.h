// The framework's component model on top of QObject.
//
// A component's Name is its objectName(). Its owner is not always its Qt
// parent: a control placed in a group box or on a tab page is owned by the
// form (or frame) around it, not by the box. ComponentOwner is the one place
// that decides; everything that names components by their owners (the section
// names of the settings savers, Main.eCode rather than Main.GroupBox1.eCode)
// goes through it.
#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QWidget;

// Something a form builds that wants to hear when the form is complete: the
// form calls Loaded on every such object below it once its constructor has
// made all controls and components and set their properties.
class TLoadable {
public:
    virtual ~TLoadable() = default;
    virtual void Loaded() = 0;
};

QObject* ComponentOwner(const QObject* Object);

// A non-visual component, created with its owner as its parent.
class TComponent : public QObject, public TLoadable {
    Q_OBJECT
public:
    explicit TComponent(QObject* Owner = nullptr) : QObject(Owner) {}
    QObject* Owner() const { return ComponentOwner(this); }
    void Loaded() override {}
};

// A form (TForm, or any other top-level window that is not a popup) or a frame
// (TFrame): the widgets that own the controls inside them.
bool IsFormOrFrame(const QObject* Object);

// The owner of Object:
// - a widget: the nearest enclosing form or frame; nullptr for a window;
// - any other object: its parent when that is not a plain control, otherwise
//   the form or frame around that control (so an action parented to a menu or
//   a group box is owned by the form).
QObject* ComponentOwner(const QObject* Object);

// The components Owner owns, in the order of the Qt object tree (creation
// order within each parent).
QList<QObject*> OwnedComponents(const QObject* Owner);

// The first component owned by Owner whose name is Name, letter case ignored;
// nullptr for an empty Name or when there is none.
QObject* FindOwnedComponent(const QObject* Owner, const QString& Name);

// The controls placed directly inside Control, in child order: the children
// of forms, frames, group boxes and plain panels (QWidget, QFrame), the pages
// of tab widgets, stacked widgets, tool boxes and splitters and the content
// of a scroll area. Other controls (lists, edits, combo boxes, the radio
// group) contain nothing: their inner widgets are their own business.
QList<QWidget*> ContainedControls(const QWidget* Control);
