#include "cell_address.h"

namespace xlsx {

QByteArray columnName(int column)
{
    if (column < 1 || column > maxColumns)
        return {};
    QByteArray name;
    while (column > 0) {
        const int digit = (column - 1) % 26;
        name.prepend(static_cast<char>('A' + digit));
        column = (column - 1) / 26;
    }
    return name;
}

QByteArray cellName(int row, int column)
{
    if (row < 1 || row > maxRows)
        return {};
    const QByteArray letters = columnName(column);
    return letters.isEmpty() ? QByteArray() : letters + QByteArray::number(row);
}

QString cellName(const CellPosition &position)
{
    return QString::fromLatin1(cellName(position.row, position.column));
}

std::optional<CellPosition> parseCellName(QByteArrayView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && text[i] == '$')
        ++i;
    int column = 0;
    const qsizetype lettersStart = i;
    while (i < n && ((text[i] >= 'A' && text[i] <= 'Z') || (text[i] >= 'a' && text[i] <= 'z'))) {
        const char upper = static_cast<char>(text[i] & ~0x20);
        column = column * 26 + (upper - 'A' + 1);
        if (column > maxColumns)
            return std::nullopt;
        ++i;
    }
    if (i == lettersStart)
        return std::nullopt;
    if (i < n && text[i] == '$')
        ++i;
    int row = 0;
    const qsizetype digitsStart = i;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        row = row * 10 + (text[i] - '0');
        if (row > maxRows)
            return std::nullopt;
        ++i;
    }
    if (i == digitsStart || i != n || row < 1)
        return std::nullopt;
    return CellPosition{row, column};
}

std::optional<CellPosition> parseCellName(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0x7f)
            return std::nullopt;
    }
    const QByteArray latin = text.toLatin1();
    return parseCellName(QByteArrayView(latin));
}

int columnOfCellName(QByteArrayView text)
{
    int column = 0;
    for (const char c : text) {
        if (c == '$')
            continue;
        const char upper = static_cast<char>(c & ~0x20);
        if (upper < 'A' || upper > 'Z')
            break;
        column = column * 26 + (upper - 'A' + 1);
        if (column > maxColumns)
            return 0;
    }
    return column;
}

} // namespace xlsx
