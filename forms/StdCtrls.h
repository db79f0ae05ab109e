// Controls of the framework that Qt has no direct equivalent for.
#pragma once

#include "engine/Canvas.h"
#include "forms/NotifyEvent.h"

#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QListWidget>
#include <QStringList>

class QButtonGroup;
class QCheckBox;
class QDateEdit;
class QRadioButton;

// A group box with one radio button per item, of which at most one is
// checked. ItemIndex is the checked item, -1 for none. OnClick (and the
// signal Click) follow every change of ItemIndex: by the user (mouse or
// arrow keys) and by SetItemIndex alike; picking the checked item again is
// no change. The buttons are laid out in Columns columns, top to bottom,
// sharing the height of the box evenly; they have no names.
// From the keyboard the group is one stop of the tab order: Tab lands on
// the checked item (the first when none is), and the arrow keys move the
// focus and the selection together, round from the last item to the first
// and back.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex NOTIFY Click)
public:
    explicit TRadioGroup(QWidget* Parent = nullptr);

    QString Caption() const { return title(); }
    void SetCaption(const QString& Caption) { setTitle(Caption); }

    const QStringList& Items() const { return FItems; }
    // Replaces the buttons; an ItemIndex beyond the new items becomes the last one.
    void SetItems(const QStringList& Items);

    int ItemIndex() const { return FItemIndex; }
    // Below -1 counts as -1, beyond the items as the last item.
    void SetItemIndex(int Index);

    int Columns() const { return FColumns; }
    void SetColumns(int Columns);

    QRadioButton* Button(int Index) const;

    TNotifyEvent OnClick;

signals:
    void Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* Watched, QEvent* event) override;

private:
    void ButtonToggled(int Index, bool Checked);
    void ShowIndex();
    void SetTabStop();
    void ArrangeButtons();

    QStringList FItems;
    QList<QRadioButton*> FButtons;
    QButtonGroup* FGroup;
    int FItemIndex = -1;
    int FColumns = 1;
    bool FUpdating = false;
};

// A list box whose items carry check boxes.
class TCheckListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TCheckListBox(QWidget* Parent = nullptr);
    bool Checked(int Index) const;
    void SetChecked(int Index, bool Checked);
};

// A drop-down list of colours, each with its swatch and name: the sixteen
// standard colours; a colour set through SetSelected that is not among them
// is added at the end. Colours are 0x00BBGGRR.
class TColorBox : public QComboBox {
    Q_OBJECT
public:
    explicit TColorBox(QWidget* Parent = nullptr);
    // Black when nothing is selected.
    TColor Selected() const;
    void SetSelected(TColor Color);
    TColor Colors(int Index) const;

private:
    void AddColor(TColor Color, const QString& Name);
};

// A date field with a calendar drop-down and, when ShowCheckbox is set, a
// check box in front of it (unchecked: the date is greyed, as not in use).
class TDateTimePicker : public QWidget {
    Q_OBJECT
public:
    explicit TDateTimePicker(QWidget* Parent = nullptr);

    QDateTime DateTime() const { return FDateTime; }
    void SetDateTime(const QDateTime& Value);
    QDate Date() const { return FDateTime.date(); }
    // Keeps the time of day.
    void SetDate(QDate Value);

    bool ShowCheckbox() const;
    void SetShowCheckbox(bool Show);
    bool Checked() const;
    void SetChecked(bool Checked);

    TNotifyEvent OnChange;

signals:
    void Change();

private:
    void Changed();

    QCheckBox* FCheck;
    QDateEdit* FEdit;
    QDateTime FDateTime;
};
