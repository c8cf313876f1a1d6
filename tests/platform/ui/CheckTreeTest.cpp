// The check-box tree: subtree ticking, half-ticked parents, paths of names, ticked nodes in order.
#include "platform/ui/KvUiCheckTree.h"

#include <gtest/gtest.h>

namespace {

class CheckTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string folder = std::string(TAV_MAIN_DIR) + "/Skin/folder.ico";
        const std::string value = std::string(TAV_MAIN_DIR) + "/Skin/txt.ico";
        config = tree.AddNode(nullptr, "VENO_CONFIG", "选项设置", folder);
        text = tree.AddNode(config, "TEXT_STYLE", "文字样式", folder);
        a = tree.AddNode(text, "TEXT_A", "标注文字", value, &marker);
        b = tree.AddNode(text, "TEXT_B", "说明文字", value);
        dwg = tree.AddNode(nullptr, "VENO_DWG_CONFIG", "图形设置", folder);
        scale = tree.AddNode(dwg, "VENO_DWGBASE_PSCALE", "出图比例", value);
    }
    KvUiCheckTree tree;
    KvUiCheckTree::Node *config, *text, *a, *b, *dwg, *scale;
    int marker = 0;
};

}  // namespace

TEST_F(CheckTreeTest, TickingANodeTicksItsSubtreeAndTheParentFollows)
{
    tree.SetCheck(text, true);
    EXPECT_EQ(tree.GetCheck(a), 1);
    EXPECT_EQ(tree.GetCheck(b), 1);
    EXPECT_EQ(tree.GetCheck(config), 1);
    tree.SetCheck(b, false);
    EXPECT_EQ(tree.GetCheck(text), 2);
    EXPECT_EQ(tree.GetCheck(config), 2);
    EXPECT_EQ(tree.GetCheck(dwg), 0);
}

TEST_F(CheckTreeTest, TickedNodesComeInDisplayOrder)
{
    tree.SetCheck(scale, true);
    tree.SetCheck(a, true);
    std::vector<std::string> paths;
    for (auto* node : tree.GetCheckedNodes())
        paths.push_back(tree.GetPath(node));
    EXPECT_EQ(paths, (std::vector<std::string>{"VENO_CONFIG\\TEXT_STYLE\\TEXT_A", "VENO_DWG_CONFIG",
                                               "VENO_DWG_CONFIG\\VENO_DWGBASE_PSCALE"}));
    EXPECT_EQ(tree.GetCheckedNodes(true).size(), 2u);
}

TEST_F(CheckTreeTest, PathsFindTheirNodes)
{
    EXPECT_EQ(tree.FindPath("VENO_CONFIG\\TEXT_STYLE\\TEXT_B"), b);
    EXPECT_EQ(tree.FindPath("VENO_CONFIG\\TEXT_STYLE"), text);
    EXPECT_EQ(tree.FindPath("VENO_CONFIG\\NONE"), nullptr);
    EXPECT_EQ(tree.FindPath(""), nullptr);
    EXPECT_EQ(tree.GetData(a), &marker);
    EXPECT_EQ(tree.GetText(a), "标注文字");
    EXPECT_FALSE(a->icon(0).isNull());
}

TEST_F(CheckTreeTest, SelectingANodeReportsItAndOpensItsAncestors)
{
    std::vector<KvUiCheckTree::Node*> seen;
    tree.SetSelChangedHandler([&](KvUiCheckTree::Node* node) { seen.push_back(node); });
    tree.SelectNode(b);
    EXPECT_EQ(tree.GetSelectedNode(), b);
    EXPECT_TRUE(text->isExpanded());
    EXPECT_TRUE(config->isExpanded());
    EXPECT_EQ(seen, (std::vector<KvUiCheckTree::Node*>{b}));
}

TEST_F(CheckTreeTest, ChildAddedUnderATickedParentIsTicked)
{
    tree.SetCheck(dwg, true);
    auto* extra = tree.AddNode(dwg, "VENO_DWGBASE_MODE", "显示模式");
    EXPECT_EQ(tree.GetCheck(extra), 1);
    EXPECT_EQ(tree.GetCheck(dwg), 1);
}
