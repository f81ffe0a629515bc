// Every menu area adds its command rows from its own file; a command that two areas claim would
// run only the first row found, silently. Each id must belong to one row.
#include "app/ui/commands/CommandTable.h"

#include <gtest/gtest.h>

#include <map>

TEST(CommandRowsTest, NoCommandIdBelongsToTwoRows) {
    std::map<int, std::size_t> owner;
    const std::vector<CommandRow>& rows = CommandRows();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        ASSERT_LE(rows[r].first, rows[r].last) << "row " << r;
        for (int id = rows[r].first; id <= rows[r].last; ++id) {
            const auto [it, fresh] = owner.emplace(id, r);
            EXPECT_TRUE(fresh) << "command " << id << " has rows " << it->second << " and " << r;
        }
    }
}

TEST(CommandRowsTest, PageSetupHasARowAndIsAlwaysOffered) {
    const CommandRow* row = FindCommandRow(57605);
    ASSERT_NE(nullptr, row) << "File > Page Setup runs the system's page setup";
    EXPECT_FALSE(row->enabled.IsSet());
}
