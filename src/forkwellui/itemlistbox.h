// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>

class QStringListModel;

// The editable item list of the main window and the item editor. Its
// entries are the food names, entry i naming row i of the food table. The
// typed text is a search: opening the list shows it from the first entry
// that begins with that text, whatever its case. Nothing the user types is
// completed, inserted or selected by itself.
class ItemListBox : public QComboBox
{
    Q_OBJECT

public:
    explicit ItemListBox(QWidget *parent = nullptr);

    // Replaces the entries in one model reset. The typed text stays; the
    // selected entry stays selected only when the new list holds the same
    // name at the same position. Never selects an entry by itself.
    void setNames(const QStringList &names);

    // The selected entry's position, or -1 when none is selected.
    int selectedRow() const { return currentIndex(); }

    void showPopup() override;

    // The first entry that begins with text, compared without regard to
    // case, or -1.
    int firstStartingWith(const QString &text) const;

private:
    QStringListModel *m_model;
};
