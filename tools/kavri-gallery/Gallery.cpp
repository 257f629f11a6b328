// The gallery window's resource and the states shown in it.
#include "tools/kavri-gallery/Gallery.h"

#include <cmath>
#include <functional>

#include "assets/skin/KavriSkinData.h"
#include "skin/controls/skSkinCtrls.h"
#include "skin/data/skSkinHint.h"
#include "skin/form/skSkinForm.h"
#include "skin/form/skSkinMenus.h"
#include "skin/form/skTrayIcon.h"
#include "toolkit/Bitmaps.h"
#include "toolkit/ImgList.h"
#include "toolkit/Menus.h"
#include "toolkit/ActnList.h"
#include "toolkit/Forms.h"
#include "toolkit/Messages.h"
#include "toolkit/Reader.h"
#include "toolkit/Streaming.h"

namespace {

// Each row shows one kind of control; a control's name says the state it shows. Later
// controls add their rows here.
constexpr std::string_view kGalleryText = R"(object Gallery: TForm
  Left = 8
  Top = 40
  ClientWidth = 960
  ClientHeight = 600
  Caption = 'Kavri gallery'
  object skCompressedStoredSkin1: TskCompressedStoredSkin
    CompressedData = {@SKIN@}
  end
  object skSkinData1: TskSkinData
    CompressedStoredSkin = skCompressedStoredSkin1
  end
  object skSkinHint1: TskSkinHint
    SkinData = skSkinData1
  end
  object skSkinForm1: TskSkinForm
    SkinData = skSkinData1
    BorderIcons = [biSystemMenu, biMinimize, biMaximize, biRollUp, biMinimizeToTray]
    ShowObjectHint = True
    SkinHint = skSkinHint1
    ClientWidth = 960
    ClientHeight = 600
  end
  object Actions: TActionList
    object Act_Toggle: TAction
      Caption = '&Toggle'
      Hint = 'An action: its caption, state and click on a button and a speed button'
      Checked = True
      OnExecute = Act_ToggleExecute
    end
  end
  object PanelButtons: TskSkinPanel
    Left = 8
    Top = 8
    Width = 624
    Height = 64
    SkinData = skSkinData1
    CaptionMode = True
    Caption = 'Buttons'
    object Bu_Normal: TskSkinButton
      Left = 10
      Top = 28
      Width = 80
      Height = 25
      SkinData = skSkinData1
      Caption = 'Normal'
    end
    object Bu_Hot: TskSkinButton
      Left = 96
      Top = 28
      Width = 80
      Height = 25
      SkinData = skSkinData1
      Caption = 'Hot'
    end
    object Bu_Pressed: TskSkinButton
      Left = 182
      Top = 28
      Width = 80
      Height = 25
      SkinData = skSkinData1
      GroupIndex = 1
      Down = True
      Caption = 'Pressed'
    end
    object Bu_Focused: TskSkinButton
      Left = 268
      Top = 28
      Width = 80
      Height = 25
      SkinData = skSkinData1
      Caption = 'Focused'
    end
    object Bu_Disabled: TskSkinButton
      Left = 354
      Top = 28
      Width = 80
      Height = 25
      SkinData = skSkinData1
      Enabled = False
      Caption = 'Disabled'
    end
    object Bu_Action: TskSkinButton
      Left = 440
      Top = 28
      Width = 80
      Height = 25
      SkinData = skSkinData1
      Action = Act_Toggle
    end
    object Bu_Accel: TskSkinButton
      Left = 526
      Top = 28
      Width = 80
      Height = 25
      SkinData = skSkinData1
      Caption = '&Accel && more'
    end
  end
  object ToolBar: TskSkinToolBar
    Left = 8
    Top = 80
    Width = 300
    Height = 25
    SkinData = skSkinData1
    object SB_Normal: TskSkinSpeedButton
      Left = 2
      Top = 0
      Width = 70
      Height = 25
      SkinData = skSkinData1
      Caption = 'Normal'
    end
    object SB_Hot: TskSkinSpeedButton
      Left = 76
      Top = 0
      Width = 70
      Height = 25
      SkinData = skSkinData1
      Caption = 'Hot'
    end
    object SB_Down: TskSkinSpeedButton
      Left = 150
      Top = 0
      Width = 70
      Height = 25
      SkinData = skSkinData1
      GroupIndex = 1
      Down = True
      Caption = 'Down'
    end
    object SB_Disabled: TskSkinSpeedButton
      Left = 224
      Top = 0
      Width = 70
      Height = 25
      SkinData = skSkinData1
      Enabled = False
      Caption = 'Disabled'
    end
  end
  object ToolBarScroll: TskSkinToolBar
    Left = 316
    Top = 80
    Width = 316
    Height = 25
    SkinData = skSkinData1
    CanScroll = True
    ScrollOffset = 60
    object SB_Scroll1: TskSkinSpeedButton
      Left = 0
      Top = 0
      Width = 60
      Height = 25
      SkinData = skSkinData1
      Action = Act_Toggle
      GroupIndex = 2
      AllowAllUp = True
    end
    object SB_Scroll2: TskSkinSpeedButton
      Left = 62
      Top = 0
      Width = 60
      Height = 25
      SkinData = skSkinData1
      Caption = 'Tool 2'
    end
    object SB_Scroll3: TskSkinSpeedButton
      Left = 124
      Top = 0
      Width = 60
      Height = 25
      SkinData = skSkinData1
      Caption = 'Tool 3'
    end
    object SB_Scroll4: TskSkinSpeedButton
      Left = 186
      Top = 0
      Width = 60
      Height = 25
      SkinData = skSkinData1
      Caption = 'Tool 4'
    end
    object SB_Scroll5: TskSkinSpeedButton
      Left = 248
      Top = 0
      Width = 60
      Height = 25
      SkinData = skSkinData1
      Caption = 'Tool 5'
    end
    object SB_Scroll6: TskSkinSpeedButton
      Left = 310
      Top = 0
      Width = 60
      Height = 25
      SkinData = skSkinData1
      Caption = 'Tool 6'
    end
    object SB_Scroll7: TskSkinSpeedButton
      Left = 372
      Top = 0
      Width = 60
      Height = 25
      SkinData = skSkinData1
      Caption = 'Tool 7'
    end
    object SB_Scroll8: TskSkinSpeedButton
      Left = 434
      Top = 0
      Width = 60
      Height = 25
      SkinData = skSkinData1
      Caption = 'Tool 8'
    end
  end
  object PanelPlain: TskSkinPanel
    Left = 8
    Top = 114
    Width = 200
    Height = 90
    SkinData = skSkinData1
    object La_Normal: TskSkinStdLabel
      Left = 10
      Top = 10
      Width = 150
      Height = 18
      AutoSize = False
      SkinData = skSkinData1
      Caption = 'Label'
    end
    object La_Disabled: TskSkinStdLabel
      Left = 10
      Top = 34
      Width = 150
      Height = 18
      AutoSize = False
      SkinData = skSkinData1
      Enabled = False
      Caption = 'Disabled label'
    end
    object La_Skin: TskSkinLabel
      Left = 10
      Top = 58
      Width = 150
      Height = 20
      SkinData = skSkinData1
      Caption = 'Skin label'
    end
  end
  object PanelChecked: TskSkinPanel
    Left = 216
    Top = 114
    Width = 200
    Height = 90
    SkinData = skSkinData1
    CaptionMode = True
    CheckedMode = True
    Checked = True
    Caption = 'Checked'
  end
  object PanelRolledUp: TskSkinPanel
    Left = 424
    Top = 114
    Width = 208
    Height = 90
    SkinData = skSkinData1
    CaptionMode = True
    RollUpMode = True
    RollUpState = True
    Caption = 'Rolled up'
  end
  object PanelSplit: TskSkinPanel
    Left = 8
    Top = 212
    Width = 624
    Height = 60
    SkinData = skSkinData1
    BorderStyle = bvNone
    object PanelSplitTop: TskSkinPanel
      Align = alTop
      Height = 24
      SkinData = skSkinData1
    end
    object Splitter: TskSkinSplitter
      Align = alTop
      SkinData = skSkinData1
      SkinDataName = 'hsplitter'
    end
    object PanelSplitBottom: TskSkinPanel
      Align = alClient
      SkinData = skSkinData1
    end
  end
  object PanelScrollBars: TskSkinPanel
    Left = 8
    Top = 280
    Width = 624
    Height = 150
    SkinData = skSkinData1
    object SBar_Horizontal: TskSkinScrollBar
      Left = 10
      Top = 10
      Width = 260
      Height = 19
      SkinData = skSkinData1
      Max = 100
      PageSize = 20
      Position = 30
    end
    object SBar_Disabled: TskSkinScrollBar
      Left = 10
      Top = 40
      Width = 260
      Height = 19
      SkinData = skSkinData1
      Enabled = False
    end
    object SBar_Vertical: TskSkinScrollBar
      Left = 580
      Top = 10
      Width = 19
      Height = 110
      Kind = sbVertical
      SkinData = skSkinData1
      SkinDataName = 'vscrollbar'
      Max = 30
      PageSize = 11
      Position = 5
    end
    object SBar_Both: TskSkinScrollBar
      Left = 300
      Top = 120
      Width = 299
      Height = 19
      SkinData = skSkinData1
      Both = True
      Max = 50
      PageSize = 10
    end
  end
  object PanelEdits: TskSkinPanel
    Left = 640
    Top = 8
    Width = 312
    Height = 584
    SkinData = skSkinData1
    object Ed_Normal: TskSkinEdit
      Left = 10
      Top = 10
      Width = 140
      Height = 21
      SkinData = skSkinData1
      Text = 'Edit'
    end
    object Ed_ReadOnly: TskSkinEdit
      Left = 160
      Top = 10
      Width = 140
      Height = 21
      SkinData = skSkinData1
      ReadOnly = True
      Text = 'Read-only'
    end
    object Ed_Disabled: TskSkinEdit
      Left = 10
      Top = 40
      Width = 140
      Height = 21
      SkinData = skSkinData1
      Enabled = False
      Text = 'Disabled'
    end
    object Ed_Button: TskSkinEdit
      Left = 160
      Top = 40
      Width = 140
      Height = 21
      SkinData = skSkinData1
      SkinDataName = 'buttonedit'
      ButtonMode = True
      Text = 'Button mode'
    end
    object Me_Memo: TskSkinMemo
      Left = 10
      Top = 80
      Width = 200
      Height = 130
      SkinData = skSkinData1
      VScrollBar = SBar_Memo
      Lines.Strings = (
        'A skinned memo'
        'with its own scroll bar'
        'line 3'
        'line 4'
        'line 5'
        'line 6'
        'line 7'
        'line 8'
        'line 9'
        'line 10'
        'line 11'
        'line 12')
    end
    object SBar_Memo: TskSkinScrollBar
      Left = 210
      Top = 80
      Width = 19
      Height = 130
      Kind = sbVertical
      SkinData = skSkinData1
      SkinDataName = 'vscrollbar'
    end
    object Me_ReadOnly: TskSkinMemo
      Left = 10
      Top = 230
      Width = 280
      Height = 130
      SkinData = skSkinData1
      ReadOnly = True
      Lines.Strings = (
        'A read-only memo')
    end
  end
  object PanelLists: TskSkinPanel
    Left = 8
    Top = 438
    Width = 624
    Height = 154
    SkinData = skSkinData1
    object Lb_Items: TskSkinListBox
      Left = 10
      Top = 10
      Width = 170
      SkinData = skSkinData1
      Items.Strings = (
        'Selected list'
        'Second row'
        'Third row'
        'Fourth row'
        'Fifth row'
        'Sixth row'
        'Seventh row'
        'Eighth row'
        'Ninth row'
        'Tenth row')
      RowCount = 7
      ItemIndex = 0
    end
    object Lb_Caption: TskSkinListBox
      Left = 190
      Top = 10
      Width = 190
      CaptionMode = True
      Caption = 'Caption bar'
      HorizontalExtent = True
      Items.Strings = (
        'A row far wider than the list itself, so it scrolls sideways'
        'Short row'
        'Another row')
      RowCount = 5
    end
    object Cb_Font: TskSkinFontComboBox
      Left = 392
      Top = 10
      Width = 220
      SkinData = skSkinData1
      FontName = 'DejaVu Sans'
    end
    object Cb_Size: TskSkinFontSizeComboBox
      Left = 392
      Top = 44
      Width = 100
      SkinData = skSkinData1
      Items.Strings = (
        '1'
        '2'
        '3'
        '4'
        '5'
        '6'
        '7'
        '8'
        '9'
        '10'
        '11'
        '12'
        '13'
        '14'
        '15'
        '16')
      ItemIndex = 11
    end
    object Cb_Edit: TskSkinFontSizeComboBox
      Left = 502
      Top = 44
      Width = 110
      SkinData = skSkinData1
      Style = skcbEditStyle
      Items.Strings = (
        'Edit style'
        'Second entry'
        'Third entry')
      ItemIndex = 0
    end
    object Cb_Disabled: TskSkinFontSizeComboBox
      Left = 392
      Top = 78
      Width = 220
      SkinData = skSkinData1
      Enabled = False
      Items.Strings = (
        'Disabled combo')
      ItemIndex = 0
    end
  end
end
)";

}  // namespace

TForm* CreateGalleryForm(std::span<const unsigned char> compressedSkin) {
  RegisterSkinControlClasses();
  RegisterTrayIconClass();
  if (compressedSkin.empty()) compressedSkin = KavriStoredSkin();
  std::string text(kGalleryText);
  const std::string marker = "@SKIN@";
  text.replace(text.find(marker), marker.size(), BinaryValueText(compressedSkin));
  auto* form = new TForm(nullptr);
  THandlerRegistry handlers;
  // The action flips its own checked state: the bound speed button shows it as down.
  handlers.Add<TNotifyEvent>("Act_ToggleExecute", [](TObject* sender) {
    if (auto* action = dynamic_cast<TAction*>(sender)) action->SetChecked(!action->Checked());
  });
  try {
    ReadComponentResource(form, text, &handlers);
  } catch (...) {
    delete form;
    throw;
  }
  return form;
}

void ShowGalleryStates(TForm* form) {
  for (const char* name : {"Bu_Hot", "SB_Hot"})
    if (auto* c = dynamic_cast<TControl*>(form->FindComponent(name))) c->Perform(CM_MOUSEENTER, 0, 0);
  if (auto* c = dynamic_cast<TWinControl*>(form->FindComponent("Bu_Focused")); c && c->CanFocus()) c->SetFocus();
}

namespace {

// The tray pictures: a round badge whose ring turns a third further in each of them.
Bitmap TrayPicture(int size, int phase) {
  Bitmap b(size, size, MakePixel(0, 0, 0, 0));
  b.SetHasAlpha(true);
  const double c = (size - 1) / 2.0;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const double dx = x - c, dy = y - c;
      const double r = std::sqrt(dx * dx + dy * dy);
      if (r > c) continue;
      const int sector = static_cast<int>((std::atan2(dy, dx) + M_PI) / (2 * M_PI) * 3) % 3;
      if (r > c * 0.6) b.Set(x, y, sector == phase ? MakePixel(230, 120, 20) : MakePixel(40, 90, 170));
      else b.Set(x, y, MakePixel(250, 250, 250));
    }
  return b;
}

}  // namespace

TskTrayIcon* AddGalleryTray(TForm* form) {
  TskSkinForm* frame = TskSkinForm::Find(form);
  auto* list = new TImageList(form);
  list->SetName("TrayImages");
  list->SetWidth(32);
  list->SetHeight(32);
  for (int phase = 0; phase < 3; ++phase) {
    TBitmap picture(32, 32);
    picture.SetImage(TrayPicture(32, phase));
    list->Add(picture, nullptr);
  }
  auto* menu = new TskSkinPopupMenu(form);
  menu->SetName("TrayMenu");
  auto* tray = new TskTrayIcon(form);
  tray->SetName("skTrayIcon1");
  auto add = [&](const char* name, const char* caption, std::function<void()> run) {
    auto* item = new TMenuItem(menu);
    item->SetName(name);
    item->SetCaption(caption);
    if (run) item->OnClick = [run](TObject*) { run(); };
    menu->Items()->Add(item);
    return item;
  };
  TMenuItem* show = add("TrayShow", "&Show the gallery", [frame] {
    if (frame) frame->ShowFromTray();
  });
  show->SetDefault(true);
  TMenuItem* animate = add("TrayAnimate", "&Animate the icon", nullptr);
  animate->OnClick = [tray, animate](TObject*) {
    tray->SetCycleIcons(!tray->CycleIcons());
    animate->SetChecked(tray->CycleIcons());
  };
  add("TrayLine", "-", nullptr);
  add("TrayClose", "&Close", [form] { form->Close(); });
  tray->SetIconList(list);
  tray->SetAnimateTimerInterval(400);
  tray->SetHint("Kavri gallery: every skinned control");
  tray->SetPopupMenu(menu);
  if (frame) {
    frame->SetAlwaysShowInTray(true);
    frame->SetTrayIcon(tray);
  }
  tray->ShowIcon();
  return tray;
}

void ShowGalleryTrayMenu(TForm* form) {
  auto* tray = dynamic_cast<TskTrayIcon*>(form->FindComponent("skTrayIcon1"));
  // Where the panel's right click would ask for it; inside the window so the shot shows it.
  if (tray) tray->ContextMenu({form->Left() + 660, form->Top() + 150});
}

void ShowGalleryMenus(TForm* form) {
  TskSkinForm* frame = TskSkinForm::Find(form);
  if (!frame) return;
  // The system menu as its caption button drops it down.
  frame->ShowSystemMenuFromKeyboard();
  // The close button's hint below the button, as the pointer resting on it would show it.
  auto* hint = dynamic_cast<TskSkinHint*>(form->FindComponent("skSkinHint1"));
  TskActiveSkinObject* close = frame->FindObject("closebutton");
  if (!hint || !close) return;
  const Rect r = close->ObjectRect.Translated(form->Left(), form->Top());
  // Right-aligned with the button so it stays on the window.
  const Rect size = hint->HintWindow()->CalcHintRect(0, close->Hint);
  hint->HintWindow()->ActivateHint(Rect::FromSize(r.right - size.Width(), r.bottom + 4, 0, 0), close->Hint);
}

Bitmap GalleryShot(TForm* form, const Bitmap& screen) {
  const Rect r = form->BoundsRect();
  Bitmap out(r.Width(), r.Height());
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 0; x < r.Width(); ++x) {
      const int sx = r.left + x, sy = r.top + y;
      if (sx >= 0 && sy >= 0 && sx < screen.Width() && sy < screen.Height()) out.Set(x, y, screen.At(sx, sy));
    }
  return out;
}
