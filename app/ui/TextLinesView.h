// The measurement view: lines of text shown read-only in a fixed-pitch font. Only the
// lines in sight are decoded and drawn, so a listing of any length shows at once.
#pragma once

#include <QAbstractListModel>
#include <QListView>

#include <string>
#include <vector>

class TextLinesModel : public QAbstractListModel {
    Q_OBJECT
  public:
    using QAbstractListModel::QAbstractListModel;

    void SetLines(std::vector<std::string> lines, QSize lineSize);
    const std::vector<std::string>& Lines() const { return lines_; }
    // The lines are UTF-8 text of the program's own (a report), not the record text.
    void SetUtf8(bool utf8) { utf8_ = utf8; }
    QString LineText(const std::string& line) const;
    // Shows the lines again, after the record text encoding changed.
    void Redecode();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    std::vector<std::string> lines_;
    // Every line's size: rows are uniform, wide enough for the longest line.
    QSize lineSize_;
    bool utf8_ = false;
};

class TextLinesView : public QListView {
    Q_OBJECT
  public:
    explicit TextLinesView(QWidget* parent = nullptr);

    void SetLines(std::vector<std::string> lines);
    // Lines shown from then on are decoded as UTF-8, not in the record text encoding.
    void SetUtf8(bool utf8) { model_->SetUtf8(utf8); }
    void Redecode();
    // The lines as one text, separated by line feeds.
    QString toPlainText() const;

  protected:
    // Ctrl+C copies the selected lines.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    TextLinesModel* model_;
};
