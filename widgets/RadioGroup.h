#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

// A captioned group of radio buttons laid out in columns; exactly one is chosen once
// an item has been set.
class RadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    RadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent);

    // The chosen item's position; -1 when none is chosen.
    int ItemIndex() const;
    void SetItemIndex(int index);
    QRadioButton* Item(int index) const;
    // Emits idClicked(position) when the user clicks an item.
    QButtonGroup* Buttons() const { return buttons_; }

  private:
    QButtonGroup* buttons_ = nullptr;
};
