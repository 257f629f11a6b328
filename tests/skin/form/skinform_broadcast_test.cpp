// Skin broadcasts reach every form of the application through its form list: each form
// hears each message once, the owner form first, with the sender and 1000.
#include "SkinFormTestSupport.h"

namespace {

struct Heard {
  TCustomForm* form;
  UINT msg;
  WPARAM sender;
  LPARAM param;
};

class SkinBroadcastTest : public SkinFormTest {
 protected:
  // Logs the skin messages that reach `form`'s window, then lets the form handle them.
  void Listen(TCustomForm* form) {
    HWND h = form->Handle();
    auto prev = std::make_shared<WNDPROC>();
    *prev = SetWindowLong(h, GWL_WNDPROC,
                          WNDPROC(WindowProc::Callable([this, form, prev](HWND w, UINT m, WPARAM wp, LPARAM lp) {
                            if (m >= SKINMSG_BEFORECHANGE && m <= SKINMSG_AFTERCHANGE)
                              heard.push_back({form, m, wp, lp});
                            return CallWindowProc(*prev, w, m, wp, lp);
                          })));
  }
  std::vector<Heard> heard;
};

TEST_F(SkinBroadcastTest, EveryFormHearsALoadOnceOwnerFirstInFormOrder) {
  auto* first = new TForm(nullptr);
  auto* second = new TForm(nullptr);
  auto* third = new TForm(nullptr);
  Listen(first);
  Listen(second);
  Listen(third);

  auto* data = new TskSkinData(second);
  TskCompressedStoredSkin stored;
  stored.SetCompressedData(TestSkinPackage());
  data->SetCompressedStoredSkin(&stored);
  ASSERT_FALSE(data->SkinEmpty());

  const WPARAM sender = reinterpret_cast<WPARAM>(data);
  std::vector<std::pair<TCustomForm*, UINT>> order;
  for (const Heard& h : heard) {
    EXPECT_EQ(h.sender, sender);
    EXPECT_EQ(h.param, 1000);
    order.push_back({h.form, h.msg});
  }
  const std::vector<std::pair<TCustomForm*, UINT>> want = {
      {second, SKINMSG_BEFORECHANGE}, {first, SKINMSG_BEFORECHANGE}, {third, SKINMSG_BEFORECHANGE},
      {second, SKINMSG_CHANGED},      {first, SKINMSG_CHANGED},      {third, SKINMSG_CHANGED},
      {second, SKINMSG_AFTERCHANGE},  {first, SKINMSG_AFTERCHANGE},  {third, SKINMSG_AFTERCHANGE}};
  EXPECT_EQ(order, want);
}

TEST_F(SkinBroadcastTest, ADamagedPackageTellsNoFormOfAChange) {
  auto* form = new TForm(nullptr);
  Listen(form);
  auto* data = new TskSkinData(form);
  TskCompressedStoredSkin stored;
  std::vector<std::uint8_t> damaged = TestSkinPackage();
  damaged.resize(damaged.size() / 2);
  stored.SetCompressedData(damaged);
  EXPECT_THROW(data->SetCompressedStoredSkin(&stored), std::exception);
  EXPECT_TRUE(data->SkinEmpty());
  for (const Heard& h : heard) EXPECT_NE(h.msg, SKINMSG_CHANGED);
}

}  // namespace
