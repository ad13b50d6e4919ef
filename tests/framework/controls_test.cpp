// The framework's control wrappers and message boxes.
#include "tests/framework/framework_fixture.h"

namespace framework_test {
namespace {

TEST_F(FrameworkTest, MessageBoxesTakeTheApplicationTitleUnlessGivenACaption)
{
    vtfw::SetApplicationTitle(TEXT("Title A"));
    EXPECT_EQ(vtfw::AppMessageBox(nullptr, TEXT("first")), IDOK);
    vtsim::QueueMessageBoxAnswer(IDCANCEL);
    EXPECT_EQ(vtfw::AppMessageBox(nullptr, TEXT("second"), MB_OKCANCEL, TEXT("Note")), IDCANCEL);
    const auto boxes = vtsim::MessageBoxes();
    ASSERT_EQ(boxes.size(), 2U);
    EXPECT_EQ(boxes[0].caption, u"Title A");
    EXPECT_EQ(boxes[0].owner, 0U);
    EXPECT_EQ(boxes[1].caption, u"Note");
    EXPECT_EQ(boxes[1].type, MB_OKCANCEL);

    const std::u16string longTitle(200, u'x');
    vtfw::SetApplicationTitle(longTitle.c_str());
    EXPECT_EQ(std::u16string(vtfw::ApplicationTitle()), longTitle.substr(0, 127));
    vtfw::SetApplicationTitle(nullptr);
    EXPECT_EQ(std::u16string(vtfw::ApplicationTitle()), u"");
}

TEST_F(FrameworkTest, TreeWrapperWalksInsertsSelectsAndDeletes)
{
    MainDialog dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.Show(true);
    vtfw::TreeView tree(dialog.Item(IDC_TREE));
    HTREEITEM root = tree.Root();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Narrow(tree.ItemText(root)), "Root");
    HTREEITEM a = tree.FirstChild(root);
    HTREEITEM b = tree.NextSibling(a);
    EXPECT_EQ(Narrow(tree.ItemText(b)), "Leaf B");
    EXPECT_EQ(tree.Parent(b), root);
    EXPECT_EQ(tree.NextSibling(b), nullptr);
    EXPECT_EQ(Narrow(tree.ItemText(b, 5)), "Leaf") << "at most maxChars - 1 characters";

    EXPECT_TRUE(tree.Select(b));
    EXPECT_EQ(tree.Selection(), b);
    EXPECT_EQ(dialog.events.back(), "tree Leaf B");
    EXPECT_TRUE(tree.DeleteItem(b));
    EXPECT_EQ(tree.Selection(), a) << "deleting the selection selects the previous sibling";
    EXPECT_EQ(dialog.events.back(), "tree Leaf A");
    DestroyWindow(dialog.Window());
}

TEST_F(FrameworkTest, WrappersOfNoWindowFailQuietly)
{
    vtfw::TreeView tree;
    EXPECT_EQ(tree.Root(), nullptr);
    EXPECT_TRUE(tree.ItemText(nullptr).empty());
    EXPECT_EQ(tree.InsertItem(TEXT("x")), nullptr);
    EXPECT_EQ(vtfw::ComboBox().Selection(), CB_ERR);
    EXPECT_EQ(vtfw::TabControl().Selection(), -1);
    EXPECT_TRUE(vtfw::Control().Text().empty());
    EXPECT_FALSE(vtfw::Button().IsChecked());
    EXPECT_EQ(vtfw::Picture().SetBitmap(nullptr), nullptr);
}

}  // namespace
}  // namespace framework_test
