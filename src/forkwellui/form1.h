// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>
#include <utility>
#include <vector>

#include <QPointer>
#include <QRect>
#include <QWidget>

#include "tally/clock.h"
#include "tally/daytally.h"
#include "tally/itementry.h"
#include "tally/itemvalues.h"

class FoodTable;
class ItemListBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The start window: the item list, the portion, the item's values, the
// day's running totals and the buttons. It holds no figures of its own
// beyond what its fields show: the item's values come from the food table
// through ItemValues, the day's totals live in a DayTally.
//
// The food database is read again each time the user comes back to this
// window from another Forkwell window, so that an item added in the editor
// shows up at once; coming back from another program does not read it.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(FoodTable &table, QWidget *parent = nullptr);
    ~Form1() override;

    // The clock that adding, deleting, saving and reopening read; the
    // system's own unless set.
    void setClock(Clock clock) { m_clock = std::move(clock); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

    // Reads "diet" from the working folder into the food table and the
    // item list. When the file cannot be read, the table and the list keep
    // what they hold. The list keeps its typed text and never selects an
    // entry by itself.
    void load();

    // The day's running totals, and showing all sixteen cells with their
    // texts and colours.
    DayTally &tally() { return m_tally; }
    void showTally();

    // Shows the secondary window held in window without making it modal.
    // create() makes it the first time and again after the user closed it;
    // it must return a widget without a parent, so that the window is not
    // kept above this one and stays open when this one closes. An open
    // window is brought to the front instead. Closing it deletes it.
    void showSecondaryWindow(QPointer<QWidget> &window, const std::function<QWidget *()> &create);

private:
    // What the user does in the window.
    void select();                                  // an entry of the item list chosen
    void portionChanged(const QString &portionText); // any change of the portion box
    void addClicked();                              // the item onto the day's list
    void deleteClicked();                           // the item off the day's list
    void saveClicked();                             // today's totals to their file
    void openClicked();                             // today's totals back from their file

    // The item rows, the portion and the item box as they are shown.
    ItemEntry shownItem() const;

    void showItem();
    void noteActivation(QWidget *window);

    // Controls and their place, in twips of the window's design grid.
    QLabel *addLabel(QStringView name, QRect twips, const QString &text = QString(),
                     const QString &roomFor = QString());
    QPushButton *addButton(QStringView name, QRect twips, const QString &caption);
    void place(QWidget *widget, QRect twips, const QString &roomFor = QString());
    void buildControls();
    void buildItemArea();
    void buildGridCaptions();
    void buildValueRows();
    void buildPercentRow();
    void buildTodayAndNotes();
    void layOut();

    FoodTable &m_table;
    ItemFields m_item;
    DayTally m_tally;
    Clock m_clock = systemClock();

    ItemListBox *m_itemList = nullptr; // Combo1
    QLineEdit *m_portion = nullptr;    // Text1
    std::vector<std::pair<QString ItemFields::*, QLabel *>> m_itemLabels;
    std::array<QLabel *, DayTally::CellCount> m_tallyLabels{};

    QPushButton *m_saveButton = nullptr;        // Command1, saves today's totals
    QPushButton *m_helpButton = nullptr;        // Command2, opens the help window
    QPushButton *m_addButton = nullptr;         // Command3, adds the item to the day
    QPushButton *m_viewListButton = nullptr;    // Command5, opens the log viewer
    QPushButton *m_deleteButton = nullptr;      // Command6, takes the item off the day
    QPushButton *m_openButton = nullptr;        // Command7, reopens today's totals
    QPushButton *m_addNewItemButton = nullptr;  // Command8, opens the item editor

    // The secondary windows, each empty until first opened and again once
    // the user closed it.
    QPointer<QWidget> m_logViewer;
    QPointer<QWidget> m_itemEditor;
    QPointer<QWidget> m_helpWindow;

    struct Placement
    {
        QWidget *widget;
        QRect twips;
        QString roomFor; // the widest text the field is expected to show
    };
    std::vector<Placement> m_placements;
    double m_pixelsPerTwip = 0.0; // the layout's one scale, shared with the other windows

    // The Forkwell window the user was in last; popups do not count, and
    // neither does another program.
    QPointer<QWidget> m_lastActiveWindow;
    bool m_shownBefore = false;
};
