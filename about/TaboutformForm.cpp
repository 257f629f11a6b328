// The stored design of the about window: the address line, the page view, the row of
// buttons, the stored skin and the skin data and frame that draw from it.
#include "about/Taboutform.h"

#include "assets/skin/KavriSkinData.h"
#include "skin/controls/skSkinCtrls.h"
#include "toolkit/Reader.h"
#include "toolkit/Streaming.h"
#include "toolkit/WebBrowser.h"

namespace {

constexpr std::string_view kFormText = R"(object aboutform: Taboutform
  Left = 231
  Top = 231
  ClientWidth = 626
  ClientHeight = 314
  Caption = 'About Kavri '
  Color = clInfoBk
  Font.Name = '宋体'
  Font.Size = 12
  Visible = False
  OnCreate = FormCreate
  OnShow = FormShow
  object skCompressedStoredSkin1: TskCompressedStoredSkin
    CompressedData = {@PROGRAM_SKIN@}
  end
  object skSkinData1: TskSkinData
    CompressedStoredSkin = skCompressedStoredSkin1
  end
  object skSkinForm1: TskSkinForm
    SkinData = skSkinData1
    BorderIcons = [biSystemMenu, biMinimize, biMaximize]
    ShowIcon = True
    AlphaBlend = False
    AlphaBlendValue = 200
    AlphaBlendAnimation = False
    Magnetic = False
    MagneticSize = 5
    DefMenuItemHeight = 20
    DefMenuItemFont.Name = 'Arial'
    DefMenuItemFont.Height = 14
    ClientWidth = 626
    ClientHeight = 314
  end
  object skSkinPanel1: TskSkinPanel
    SkinData = skSkinData1
    SkinDataName = 'panel'
    DefaultFont.Name = '宋体'
    DefaultFont.Height = 14
    DefaultFont.Color = clWindowText
    BorderStyle = bvFrame
    Left = 0
    Top = 0
    Width = 626
    Height = 25
    Align = alTop
    Caption = ''
    object skSkinPanel2: TskSkinPanel
      SkinData = skSkinData1
      SkinDataName = 'panel'
      DefaultFont.Name = '宋体'
      DefaultFont.Height = 14
      DefaultFont.Color = clWindowText
      BorderStyle = bvFrame
      Left = 1
      Top = 1
      Width = 120
      Height = 23
      Align = alLeft
      Caption = ''
      object note: TskSkinStdLabel
        SkinData = skSkinData1
        SkinDataName = 'stdlabel'
        UseSkinFont = True
        DefaultFont.Name = '宋体'
        DefaultFont.Height = 14
        DefaultFont.Color = clWindowText
        Left = 4
        Top = 3
        Width = 113
        Height = 16
        AutoSize = False
        WordWrap = True
        Caption = ''
      end
    end
    object skSkinButton1: TskSkinButton
      SkinData = skSkinData1
      SkinDataName = 'button'
      UseSkinFont = True
      DefaultFont.Name = '宋体'
      DefaultFont.Height = 14
      Left = 578
      Top = 1
      Width = 47
      Height = 23
      Align = alRight
      Caption = '确定'
      OnClick = skSkinButton1Click
    end
    object Edit_input: TskSkinEdit
      SkinData = skSkinData1
      SkinDataName = 'edit'
      UseSkinFont = False
      DefaultFont.Name = '宋体'
      DefaultFont.Height = 14
      DefaultFont.Color = clBlack
      Left = 121
      Top = 1
      Width = 457
      Height = 23
      Align = alClient
      Font.Name = '宋体'
      Font.Height = -14
      Font.Color = clBlack
      ParentFont = False
      Text = ''
      ShowHint = True
      OnKeyDown = Edit_inputKeyDown
    end
  end
  object skSkinPanel3: TskSkinPanel
    SkinData = skSkinData1
    SkinDataName = 'panel'
    DefaultFont.Name = '宋体'
    DefaultFont.Height = 14
    DefaultFont.Color = clWindowText
    BorderStyle = bvFrame
    Left = 0
    Top = 288
    Width = 626
    Height = 26
    Align = alBottom
    Caption = ''
    object skSkinSB_backword: TskSkinSpeedButton
      SkinData = skSkinData1
      SkinDataName = 'toolbutton'
      UseSkinFont = True
      DefaultFont.Name = '宋体'
      DefaultFont.Height = 14
      Left = 1
      Top = 0
      Width = 25
      Height = 22
      Hint = '后退'
      ShowHint = True
      OnClick = skSkinSB_backwordClick
    end
    object skSkinSB_forward: TskSkinSpeedButton
      SkinData = skSkinData1
      SkinDataName = 'toolbutton'
      UseSkinFont = True
      DefaultFont.Name = '宋体'
      DefaultFont.Height = 14
      Left = 26
      Top = 0
      Width = 25
      Height = 22
      Enabled = False
      Hint = '前进'
      ShowHint = True
      OnClick = skSkinSB_forwardClick
    end
    object skSkinSB_about: TskSkinSpeedButton
      SkinData = skSkinData1
      SkinDataName = 'toolbutton'
      UseSkinFont = True
      DefaultFont.Name = '宋体'
      DefaultFont.Height = 14
      Left = 50
      Top = 0
      Width = 25
      Height = 22
      Hint = '关于本软件'
      ShowHint = True
      OnClick = skSkinSB_aboutClick
    end
    object skSkinSB_home: TskSkinSpeedButton
      SkinData = skSkinData1
      SkinDataName = 'toolbutton'
      UseSkinFont = True
      DefaultFont.Name = '宋体'
      DefaultFont.Height = 14
      Left = 74
      Top = 0
      Width = 25
      Height = 22
      Hint = '访问主页'
      ShowHint = True
      OnClick = skSkinSB_homeClick
    end
    object skSkinSB_email: TskSkinSpeedButton
      SkinData = skSkinData1
      SkinDataName = 'toolbutton'
      UseSkinFont = True
      DefaultFont.Name = '宋体'
      DefaultFont.Height = 14
      Left = 98
      Top = 0
      Width = 25
      Height = 22
      Hint = '欢迎给我来信'
      ShowHint = True
      OnClick = skSkinSB_emailClick
    end
    object skSkinSB_bbs: TskSkinSpeedButton
      SkinData = skSkinData1
      SkinDataName = 'toolbutton'
      UseSkinFont = True
      DefaultFont.Name = '宋体'
      DefaultFont.Height = 14
      Left = 122
      Top = 0
      Width = 25
      Height = 22
      Hint = '欢迎给我留言'
      ShowHint = True
      OnClick = skSkinSB_bbsClick
    end
    object skSkinSpeedButton1: TskSkinSpeedButton
      SkinData = skSkinData1
      SkinDataName = 'toolbutton'
      UseSkinFont = True
      DefaultFont.Name = '宋体'
      DefaultFont.Height = 14
      Left = 599
      Top = 1
      Width = 25
      Height = 24
      Align = alRight
      Hint = '导出到外部浏览器'
      ShowHint = True
      OnClick = skSkinSpeedButton1Click
    end
  end
  object WebBrowser: TWebBrowser
    Left = 0
    Top = 25
    Width = 626
    Height = 263
    Align = alClient
    OnDownloadBegin = WebBrowserDownloadBegin
    OnNavigateComplete2 = WebBrowserNavigateComplete2
  end
end
)";

}  // namespace

std::string_view TaboutformFormText() { return kFormText; }

void RegisterAboutForm() {
  RegisterSkinControlClasses();
  RegisterComponentClass<TWebBrowser>("TWebBrowser");
  // The window carries the packed skin the build made, as the main window does.
  std::string text(kFormText);
  const std::string_view marker = "@PROGRAM_SKIN@";
  text.replace(text.find(marker), marker.size(), BinaryValueText(KavriStoredSkin()));
  RegisterFormResource("Taboutform", std::move(text));
}
