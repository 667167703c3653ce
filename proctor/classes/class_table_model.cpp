#include "proctor/classes/class_table_model.h"

#include "repository/name_rules.h"
#include "repository/profile_values.h"

#include <cmath>
#include <limits>

namespace exam {

namespace {

constexpr double Int16Min = std::numeric_limits<qint16>::min();
constexpr double Int16Max = std::numeric_limits<qint16>::max();

bool inInt16Range(qint64 value)
{
    return value >= Int16Min && value <= Int16Max;
}

// The last number is shown with the blank where a plus sign would be.
QString lastNumberText(qint64 value)
{
    return blankSignedNumberText(value);
}

} // namespace

std::optional<qint16> classFieldNumber(const QString &text)
{
    // Round half to even as the number rule does, but refuse instead of clamping.
    const double value = std::nearbyint(leadingNumber(text));
    if (!(value >= Int16Min && value <= Int16Max))
        return std::nullopt;
    return static_cast<qint16>(value);
}

ClassTableModel::ClassTableModel(QObject *parent) : QObject(parent) {}

void ClassTableModel::load(QList<ClassEntry> classes)
{
    m_classes = std::move(classes);
    emit namesChanged();
    select(m_classes.isEmpty() ? -1 : 0);
}

QStringList ClassTableModel::names() const
{
    QStringList result;
    result.reserve(m_classes.size());
    for (const ClassEntry &entry : m_classes)
        result << entry.name;
    return result;
}

ClassEntry *ClassTableModel::current()
{
    return m_selected >= 0 && m_selected < m_classes.size() ? &m_classes[m_selected] : nullptr;
}

void ClassTableModel::select(int row)
{
    m_selected = row >= 0 && row < m_classes.size() ? row : -1;
    showClass(m_selected);
    emit selectionChanged(m_selected);
}

void ClassTableModel::showClass(int row)
{
    // With nothing selected the fields are blank, so no edit can land on a class the teacher
    // does not see.
    if (row < 0) {
        for (QString &text : m_texts)
            text.clear();
    } else {
        const ClassEntry &entry = m_classes.at(row);
        m_texts[int(Field::Name)] = entry.name;
        m_texts[int(Field::Size)] = QString::number(entry.size);
        m_texts[int(Field::First)] = QString::number(entry.first);
        m_texts[int(Field::Last)] = QString::number(entry.last);
    }
    emit fieldsChanged();
}

QString ClassTableModel::fieldText(Field field) const
{
    return m_texts[int(field)];
}

void ClassTableModel::setFieldText(Field field, const QString &text)
{
    m_texts[int(field)] = text;
}

void ClassTableModel::setText(Field field, const QString &text)
{
    if (m_texts[int(field)] == text)
        return;
    m_texts[int(field)] = text;
    emit fieldsChanged();
}

ClassTableModel::Refusal ClassTableModel::sizeConfirmed()
{
    ClassEntry *entry = current();
    const std::optional<qint16> size = classFieldNumber(fieldText(Field::Size));
    if (!size) {
        setText(Field::Size, entry ? QString::number(entry->size) : QString());
        return {NumberOutOfRangeMessage, true};
    }
    setText(Field::Size, QString::number(*size));
    if (entry)
        entry->size = *size;
    return {};
}

ClassTableModel::LastFollow ClassTableModel::lastFollowing(qint64 first) const
{
    const qint64 size = profileNumber(fieldText(Field::Size));
    const qint64 last = profileNumber(fieldText(Field::Last));
    LastFollow follow;
    if (size > last - first + 1) {
        follow.needed = true;
        follow.value = first + size - 1;
        follow.inRange = inInt16Range(follow.value);
    }
    return follow;
}

ClassTableModel::Refusal ClassTableModel::firstNumberChanged(const QString &text)
{
    ClassEntry *entry = current();
    m_texts[int(Field::First)] = text;
    const std::optional<qint16> first = classFieldNumber(text);
    const LastFollow follow = first ? lastFollowing(*first) : LastFollow{};
    if (!first || !follow.inRange) {
        // The number (or the last number it would push up) cannot be stored: keep the old one.
        m_texts[int(Field::First)] = entry ? QString::number(entry->first) : QString();
        emit fieldsChanged();
        return {NumberOutOfRangeMessage, true};
    }
    if (follow.needed) {
        m_texts[int(Field::Last)] = lastNumberText(follow.value);
        if (entry)
            entry->last = static_cast<qint16>(follow.value);
    }
    m_texts[int(Field::First)] = QString::number(*first);
    if (entry)
        entry->first = *first;
    emit fieldsChanged();
    return {};
}

void ClassTableModel::firstNumberLeft()
{
    const LastFollow follow = lastFollowing(profileNumber(fieldText(Field::First)));
    if (follow.needed && follow.inRange)
        setText(Field::Last, lastNumberText(follow.value));
}

void ClassTableModel::firstNumberConfirmed()
{
    const qint16 first = profileNumber(fieldText(Field::First));
    setText(Field::First, QString::number(first));
    if (ClassEntry *entry = current())
        entry->first = first;
}

ClassTableModel::Refusal ClassTableModel::lastNumberConfirmed()
{
    ClassEntry *entry = current();
    const QString storedText = entry ? lastNumberText(entry->last) : QString();
    const std::optional<qint16> last = classFieldNumber(fieldText(Field::Last));
    if (!last) {
        setText(Field::Last, storedText);
        return {NumberOutOfRangeMessage, true};
    }
    const qint64 first = profileNumber(fieldText(Field::First));
    const qint64 size = profileNumber(fieldText(Field::Size));
    if (size > qint64(*last) - first + 1) {
        setText(Field::Last, storedText);
        return {LastNumberTooSmallMessage, true};
    }
    if (entry)
        entry->last = *last;
    return {};
}

QString ClassTableModel::addClass(const std::optional<QString> &answer)
{
    const QString name = trimBlanks(answer.value_or(QString()));
    if (name.isEmpty())
        return {};
    // Class names are keys of the system profile, where letter case does not count: two names
    // that differ only in case would share one size and one number range.
    for (const ClassEntry &entry : std::as_const(m_classes)) {
        if (trimBlanks(entry.name).compare(name, Qt::CaseInsensitive) == 0)
            return DuplicateClassMessage;
    }
    const NameCheck check = checkClassName(name);
    if (!check)
        return check.reason;
    m_classes.append(ClassEntry{name, 0, 0, 0});
    emit namesChanged();
    emit selectionChanged(m_selected);
    return {};
}

void ClassTableModel::removeSelected()
{
    if (m_classes.isEmpty())
        return;
    m_classes.removeAt(m_selected >= 0 ? m_selected : 0);
    emit namesChanged();
    select(-1);
}

void ClassTableModel::swapRows(int row, int other)
{
    m_classes.swapItemsAt(row, other);
    emit namesChanged();
    select(other);
}

void ClassTableModel::moveUp()
{
    if (m_selected > 0)
        swapRows(m_selected, m_selected - 1);
}

void ClassTableModel::moveDown()
{
    if (m_selected >= 0 && m_selected < m_classes.size() - 1)
        swapRows(m_selected, m_selected + 1);
}

} // namespace exam
