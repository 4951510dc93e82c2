#pragma once
// ResultChart: the one-series line chart of a chart window, as the program fills it. Rows
// are counted from 1; each row has a value (or none yet) and an X axis label. The chart
// view draws it and follows its signals; the tests and the file readers only talk to this.

#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace corvane {

enum class ChartKind { Line2D };

// Spacing of the X labels and tick marks, in rows.
struct CategoryScale {
    bool automatic = true;
    bool labelTick = false;  // labels stand on the tick marks rather than between them
    int16_t divisionsPerLabel = 1;
    int16_t divisionsPerTick = 1;
    bool operator==(const CategoryScale &o) const {
        return automatic == o.automatic && labelTick == o.labelTick &&
               divisionsPerLabel == o.divisionsPerLabel && divisionsPerTick == o.divisionsPerTick;
    }
    bool operator!=(const CategoryScale &o) const { return !(*this == o); }
};

// Numeric range of the X axis (kept for the set-ups; the X axis itself is a category axis).
struct ValueScale {
    bool automatic = true;
    double minimum = 0.0;
    double maximum = 0.0;
    bool operator==(const ValueScale &o) const {
        return automatic == o.automatic && minimum == o.minimum && maximum == o.maximum;
    }
    bool operator!=(const ValueScale &o) const { return !(*this == o); }
};

class ResultChart : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxRows = 32767;  // the row count is a signed 16-bit field

    explicit ResultChart(QObject *parent = nullptr);

    ChartKind kind() const { return m_kind; }
    void setKind(ChartKind kind);

    QString title() const { return m_title; }
    void setTitle(const QString &title);
    QString xAxisTitle() const { return m_xAxisTitle; }
    void setXAxisTitle(const QString &title);
    QString yAxisTitle() const { return m_yAxisTitle; }
    void setYAxisTitle(const QString &title);

    int rowCount() const { return static_cast<int>(m_values.size()); }
    // Sizes the data to `count` rows (clamped to 0..kMaxRows), all of them unset: a refill
    // never shows points left over from an earlier run.
    void setRowCount(int count);
    // Sizes the data to `count` rows and sets the first rows' values and labels (as many as
    // `values` holds; `labels` is as long), announced once as a refill: a chart read from a
    // file is filled without a signal per row.
    void setRows(int count, const std::vector<double> &values, const std::vector<QString> &labels);

    // Rows outside 1..rowCount() are ignored: a results file may offer more lines than the
    // rows it announced.
    void setRowValue(int row, double value);
    void setRowLabel(int row, const QString &label);
    // Empty for an unset row or a row outside the chart. Unset rows are not plotted.
    std::optional<double> rowValue(int row) const;
    QString rowLabel(int row) const;
    bool isValidRow(int row) const { return row >= 1 && row <= rowCount(); }

    CategoryScale xCategoryScale() const { return m_category; }
    void setXCategoryScale(const CategoryScale &scale);
    void setCategoryAutomatic(bool automatic);
    void setLabelTick(bool on);
    void setDivisionsPerLabel(int16_t rows);
    void setDivisionsPerTick(int16_t rows);

    ValueScale xValueScale() const { return m_value; }
    void setXValueScale(const ValueScale &scale);
    void setValueAutomatic(bool automatic);

    // Whether the chart has had its one set-up of the run (see chartsetup.h).
    bool isSetUp() const { return m_setUp; }
    void markSetUp() { m_setUp = true; }

    // Back to a new, empty chart: no rows, no texts, default scales, not set up.
    void reset();

signals:
    void textsChanged();     // kind, title or axis titles
    void scalesChanged();    // category or value scale
    void rowCountChanged();  // all rows replaced by unset ones
    void rowValueChanged(int row);
    void rowLabelChanged(int row);

private:
    void setText(QString &field, const QString &text);

    ChartKind m_kind = ChartKind::Line2D;
    QString m_title;
    QString m_xAxisTitle;
    QString m_yAxisTitle;
    std::vector<double> m_values;
    std::vector<bool> m_valueSet;
    std::vector<QString> m_labels;
    CategoryScale m_category;
    ValueScale m_value;
    bool m_setUp = false;
};

}  // namespace corvane
