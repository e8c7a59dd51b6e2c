// The result list as a plain in-memory table of rows, for the operations
// without a window (command line, tests).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/ResultList.h"

namespace qm {

struct ResultRow {
    std::array<std::string, kColumnCount> texts;
    RowAttributes attributes;
};

class CResultTable : public IResultList {
public:
    void DeleteAllRows() override;
    int InsertRowAtTop(const std::string& column0, int image) override;
    std::string GetCellText(int row, int column) const override;
    void SetCellText(int row, int column, const std::string& text) override;
    RowAttributes GetRowAttributes(int row) const override;
    void SetRowAttributes(int row, const RowAttributes& attributes) override;
    int RowCount() const override;

    const std::vector<ResultRow>& Rows() const { return m_rows; }
    std::vector<ResultRow>& Rows() { return m_rows; }

private:
    bool IsCell(int row, int column) const;
    std::vector<ResultRow> m_rows;
};

}  // namespace qm
