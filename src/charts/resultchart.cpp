#include "charts/resultchart.h"

#include <algorithm>

namespace corvane {

ResultChart::ResultChart(QObject *parent) : QObject(parent) {}

void ResultChart::setKind(ChartKind kind) {
    if (m_kind == kind) return;
    m_kind = kind;
    emit textsChanged();
}

void ResultChart::setText(QString &field, const QString &text) {
    if (field == text) return;
    field = text;
    emit textsChanged();
}

void ResultChart::setTitle(const QString &title) {
    setText(m_title, title);
}
void ResultChart::setXAxisTitle(const QString &title) {
    setText(m_xAxisTitle, title);
}
void ResultChart::setYAxisTitle(const QString &title) {
    setText(m_yAxisTitle, title);
}

void ResultChart::setRowCount(int count) {
    const auto rows = static_cast<size_t>(std::clamp(count, 0, kMaxRows));
    m_values.assign(rows, 0.0);
    m_valueSet.assign(rows, false);
    m_labels.assign(rows, QString());
    emit rowCountChanged();
}

void ResultChart::setRows(int count, const std::vector<double> &values,
                          const std::vector<QString> &labels) {
    const auto rows = static_cast<size_t>(std::clamp(count, 0, kMaxRows));
    m_values.assign(rows, 0.0);
    m_valueSet.assign(rows, false);
    m_labels.assign(rows, QString());
    const size_t filled = std::min({rows, values.size(), labels.size()});
    for (size_t i = 0; i < filled; ++i) {
        m_values[i] = values[i];
        m_valueSet[i] = true;
        m_labels[i] = labels[i];
    }
    emit rowCountChanged();
}

void ResultChart::setRowValue(int row, double value) {
    if (!isValidRow(row)) return;
    const auto i = static_cast<size_t>(row - 1);
    m_values[i] = value;
    m_valueSet[i] = true;
    emit rowValueChanged(row);
}

void ResultChart::setRowLabel(int row, const QString &label) {
    if (!isValidRow(row)) return;
    QString &current = m_labels[static_cast<size_t>(row - 1)];
    if (current == label) return;
    current = label;
    emit rowLabelChanged(row);
}

std::optional<double> ResultChart::rowValue(int row) const {
    if (!isValidRow(row)) return std::nullopt;
    const auto i = static_cast<size_t>(row - 1);
    if (!m_valueSet[i]) return std::nullopt;
    return m_values[i];
}

QString ResultChart::rowLabel(int row) const {
    return isValidRow(row) ? m_labels[static_cast<size_t>(row - 1)] : QString();
}

void ResultChart::setXCategoryScale(const CategoryScale &scale) {
    if (m_category == scale) return;
    m_category = scale;
    emit scalesChanged();
}

void ResultChart::setCategoryAutomatic(bool automatic) {
    CategoryScale scale = m_category;
    scale.automatic = automatic;
    setXCategoryScale(scale);
}

void ResultChart::setLabelTick(bool on) {
    CategoryScale scale = m_category;
    scale.labelTick = on;
    setXCategoryScale(scale);
}

void ResultChart::setDivisionsPerLabel(int16_t rows) {
    CategoryScale scale = m_category;
    scale.divisionsPerLabel = rows;
    setXCategoryScale(scale);
}

void ResultChart::setDivisionsPerTick(int16_t rows) {
    CategoryScale scale = m_category;
    scale.divisionsPerTick = rows;
    setXCategoryScale(scale);
}

void ResultChart::setXValueScale(const ValueScale &scale) {
    if (m_value == scale) return;
    m_value = scale;
    emit scalesChanged();
}

void ResultChart::setValueAutomatic(bool automatic) {
    ValueScale scale = m_value;
    scale.automatic = automatic;
    setXValueScale(scale);
}

void ResultChart::reset() {
    m_setUp = false;
    m_kind = ChartKind::Line2D;
    m_title.clear();
    m_xAxisTitle.clear();
    m_yAxisTitle.clear();
    m_category = CategoryScale();
    m_value = ValueScale();
    emit textsChanged();
    emit scalesChanged();
    setRowCount(0);
}

}  // namespace corvane
