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
    // Shows the lines again, after the record text encoding changed.
    void Redecode();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    std::vector<std::string> lines_;
    // Every line's size: rows are uniform, wide enough for the longest line.
    QSize lineSize_;
};

class TextLinesView : public QListView {
    Q_OBJECT
  public:
    explicit TextLinesView(QWidget* parent = nullptr);

    void SetLines(std::vector<std::string> lines);
    void Redecode();
    // The lines as one text, separated by line feeds.
    QString toPlainText() const;

  protected:
    // Ctrl+C copies the selected lines.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    TextLinesModel* model_;
};
