// The stored design of the main window: every control with its class, place, look, texts
// and handlers, the stored skin and the skin data and frame that draw from it.
#include "app/Tkavri.h"

#include "about/MainModule.h"
#include "app/KavriState.h"
#include "app/LanguagePacks.h"
#include "app/ProgramFiles.h"

#include "assets/skin/KavriSkinData.h"
#include "skin/controls/skSkinCtrls.h"
#include "toolkit/Reader.h"
#include "toolkit/Streaming.h"

namespace {

constexpr std::string_view kFormText = R"(object kavri: Tkavri
  Left = 353
  Top = 200
  ClientWidth = 533
  ClientHeight = 428
  Caption = 'kavri'
  Color = clBtnFace
  Font.Name = 'MS Sans Serif'
  Font.Size = 8
  BorderIcons = []
  OnCreate = FormCreate
  OnCloseQuery = FormCloseQuery
  OnResize = FormResize
  OnDestroy = FormDestroy
  object skCompressedStoredSkin2: TskCompressedStoredSkin
    CompressedData = {@PROGRAM_SKIN@}
  end
  object skSkinData1: TskSkinData
    CompressedStoredSkin = skCompressedStoredSkin2
  end
  object skSkinForm1: TskSkinForm
    SkinData = skSkinData1
    BorderIcons = [biSystemMenu, biMinimize, biMaximize, biRollUp]
    ShowIcon = False
    AlphaBlend = False
    AlphaBlendValue = 200
    AlphaBlendAnimation = False
    Magnetic = False
    MagneticSize = 5
    MinWidth = 0
    MinHeight = 0
    MaxWidth = 0
    MaxHeight = 0
    HideCaptionButtons = False
    AlwaysMinimizeToTray = False
    MaximizeOnFullScreen = False
    UseDefaultSysMenu = True
    ShowObjectHint = False
    UseDefaultObjectHint = True
    UseFormCursorInNCArea = False
    ClientWidth = 533
    ClientHeight = 428
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
    Width = 193
    Height = 428
    Align = alLeft
    Caption = ''
    object skSkinPanel5: TskSkinPanel
      SkinData = skSkinData1
      SkinDataName = 'panel'
      DefaultFont.Name = '宋体'
      DefaultFont.Height = 14
      DefaultFont.Color = clWindowText
      BorderStyle = bvFrame
      Left = 1
      Top = 1
      Width = 191
      Height = 208
      Align = alTop
      Caption = ''
      object skSkinPanel6: TskSkinPanel
        SkinData = skSkinData1
        SkinDataName = 'panel'
        DefaultFont.Name = '宋体'
        DefaultFont.Height = 14
        DefaultFont.Color = clWindowText
        BorderStyle = bvFrame
        Left = 1
        Top = 1
        Width = 189
        Height = 82
        Align = alTop
        Caption = ''
        object skSkinPanel7: TskSkinPanel
          SkinData = skSkinData1
          SkinDataName = 'panel'
          DefaultFont.Name = '宋体'
          DefaultFont.Height = 14
          DefaultFont.Color = clWindowText
          BorderStyle = bvNone
          Left = 1
          Top = 1
          Width = 187
          Height = 24
          Align = alTop
          Caption = ''
          object La_inputtext: TskSkinStdLabel
            SkinData = skSkinData1
            SkinDataName = 'stdlabel'
            UseSkinFont = True
            DefaultFont.Name = 'MS Sans Serif'
            DefaultFont.Size = 8
            DefaultFont.Color = clWindowText
            Left = 9
            Top = 5
            Width = 80
            Height = 16
            AutoSize = False
            Caption = '输入内容'
          end
          object Bu_Convert: TskSkinButton
            SkinData = skSkinData1
            SkinDataName = 'button'
            UseSkinFont = True
            DefaultFont.Name = '宋体'
            DefaultFont.Height = 14
            CanFocused = True
            Left = 144
            Top = 2
            Width = 33
            Height = 20
            ShowHint = True
            OnClick = Bu_ConvertClick
          end
        end
        object skSkinPanel3: TskSkinPanel
          SkinData = skSkinData1
          SkinDataName = 'panel'
          DefaultFont.Name = '宋体'
          DefaultFont.Height = 14
          DefaultFont.Color = clWindowText
          BorderStyle = bvNone
          Left = 1
          Top = 25
          Width = 187
          Height = 25
          Align = alTop
          Caption = ''
          object skSkinPanel10: TskSkinPanel
            SkinData = skSkinData1
            SkinDataName = 'panel'
            DefaultFont.Name = '宋体'
            DefaultFont.Height = 14
            DefaultFont.Color = clWindowText
            BorderStyle = bvFrame
            Left = 0
            Top = 0
            Width = 57
            Height = 25
            Align = alLeft
            Caption = ''
            object La_inputtype: TskSkinStdLabel
              SkinData = skSkinData1
              SkinDataName = 'stdlabel'
              UseSkinFont = True
              DefaultFont.Name = 'MS Sans Serif'
              DefaultFont.Size = 8
              DefaultFont.Color = clWindowText
              Left = 9
              Top = 5
              Width = 48
              Height = 16
              AutoSize = False
              Caption = '字型：'
            end
          end
          object skSkinFontComboBox1: TskSkinFontComboBox
            Left = 57
            Top = 0
            Width = 130
            Height = 25
            Align = alClient
            SkinData = skSkinData1
            SkinDataName = 'combobox'
            Style = skcbFixedStyle
            Sorted = True
            DropDownCount = 8
            ItemIndex = -1
            UseSkinFont = True
            UseSkinSize = True
            HideSelection = True
            AutoComplete = True
            AlphaBlend = False
            AlphaBlendValue = 0
            ListBoxCaptionMode = False
            ListBoxWidth = 0
            Font.Name = '宋体'
            Font.Height = -14
            OnChange = skSkinFontComboBox1Change
          end
        end
        object skSkinPanel11: TskSkinPanel
          SkinData = skSkinData1
          SkinDataName = 'panel'
          DefaultFont.Name = '宋体'
          DefaultFont.Height = 14
          DefaultFont.Color = clWindowText
          BorderStyle = bvNone
          Left = 1
          Top = 50
          Width = 187
          Height = 31
          Align = alClient
          Caption = ''
          object SB_FontBold: TskSkinSpeedButton
            SkinData = skSkinData1
            SkinDataName = 'toolbutton'
            UseSkinFont = True
            DefaultFont.Name = '宋体'
            DefaultFont.Height = 14
            ImageIndex = 0
            Left = 137
            Top = 0
            Width = 25
            Height = 31
            Align = alRight
            Hint = '加黑'
            ShowHint = True
            OnClick = SB_FontBoldClick
          end
          object SB_FontItalic: TskSkinSpeedButton
            SkinData = skSkinData1
            SkinDataName = 'toolbutton'
            UseSkinFont = True
            DefaultFont.Name = '宋体'
            DefaultFont.Height = 14
            ImageIndex = 0
            Left = 162
            Top = 0
            Width = 25
            Height = 31
            Align = alRight
            Hint = '斜体'
            ShowHint = True
            OnClick = SB_FontItalicClick
          end
          object skSkinPanel12: TskSkinPanel
            SkinData = skSkinData1
            SkinDataName = 'panel'
            DefaultFont.Name = '宋体'
            DefaultFont.Height = 14
            DefaultFont.Color = clWindowText
            BorderStyle = bvFrame
            Left = 0
            Top = 0
            Width = 57
            Height = 31
            Align = alLeft
            Caption = ''
            object La_inputsize: TskSkinStdLabel
              SkinData = skSkinData1
              SkinDataName = 'stdlabel'
              UseSkinFont = True
              DefaultFont.Name = 'MS Sans Serif'
              DefaultFont.Size = 8
              DefaultFont.Color = clWindowText
              Left = 8
              Top = 5
              Width = 41
              Height = 16
              AutoSize = False
              Caption = '尺寸：'
            end
          end
          object skSkinFontSizeComboBox1: TskSkinFontSizeComboBox
            Left = 57
            Top = 0
            Width = 80
            Height = 31
            Align = alClient
            SkinData = skSkinData1
            SkinDataName = 'combobox'
            Style = skcbFixedStyle
            Sorted = False
            DropDownCount = 8
            ItemIndex = -1
            UseSkinFont = True
            UseSkinSize = True
            HideSelection = True
            AutoComplete = True
            AlphaBlend = False
            AlphaBlendValue = 0
            ListBoxCaptionMode = False
            ListBoxWidth = 0
            Font.Name = '宋体'
            Font.Height = -14
            OnChange = skSkinFontSizeComboBox1Change
          end
        end
      end
      object Me_inputtext: TskSkinMemo
        SkinDataName = 'memo'
        UseSkinFont = False
        BitMapBG = False
        Left = 1
        Top = 83
        Width = 189
        Height = 124
        Align = alClient
        Color = clWhite
        Font.Name = '宋体'
        Font.Height = 14
        Font.Color = clBlack
        ParentFont = False
        ScrollBars = ssNone
        WordWrap = True
        Lines.Strings = (
          '输入')
        OnChange = Me_inputtextChange
      end
    end
    object skSkinSplitter2: TskSkinSplitter
      SkinData = skSkinData1
      SkinDataName = 'hsplitter'
      Left = 1
      Top = 209
      Width = 191
      Height = 10
      Cursor = crVSplit
      Align = alTop
      MinSize = 10
      DefaultSize = 10
    end
    object skSkinPanel8: TskSkinPanel
      SkinData = skSkinData1
      SkinDataName = 'panel'
      DefaultFont.Name = '宋体'
      DefaultFont.Height = 14
      DefaultFont.Color = clWindowText
      BorderStyle = bvFrame
      Left = 1
      Top = 219
      Width = 191
      Height = 208
      Align = alClient
      Caption = ''
      object Image_preview: TImage
        Left = 1
        Top = 1
        Width = 189
        Height = 143
        Align = alTop
        Visible = False
      end
      object skSkinPanel9: TskSkinPanel
        SkinData = skSkinData1
        SkinDataName = 'panel'
        DefaultFont.Name = '宋体'
        DefaultFont.Height = 14
        DefaultFont.Color = clWindowText
        BorderStyle = bvFrame
        Left = 1
        Top = 136
        Width = 189
        Height = 71
        Align = alBottom
        Caption = ''
        object La_Language: TskSkinStdLabel
          SkinData = skSkinData1
          SkinDataName = 'stdlabel'
          UseSkinFont = True
          DefaultFont.Name = 'MS Sans Serif'
          DefaultFont.Size = 8
          DefaultFont.Color = clWindowText
          Left = 9
          Top = 33
          Width = 64
          Height = 16
          AutoSize = False
          Caption = '语言：       '
        end
        object CbSelect: TskSkinFontSizeComboBox
          Left = 58
          Top = 32
          Width = 65
          Height = 20
          SkinData = skSkinData1
          SkinDataName = 'combobox'
          Style = skcbFixedStyle
          Sorted = False
          DropDownCount = 4
          ItemIndex = -1
          UseSkinFont = True
          UseSkinSize = True
          HideSelection = True
          AutoComplete = True
          AlphaBlend = False
          AlphaBlendValue = 0
          ListBoxCaptionMode = False
          ListBoxWidth = 0
          Font.Name = '宋体'
          Font.Height = -14
          Hint = 'LanguageSelect'
          ShowHint = True
          OnChange = CbSelectChange
        end
        object SB_help: TskSkinSpeedButton
          SkinData = skSkinData1
          SkinDataName = 'toolbutton'
          UseSkinFont = True
          DefaultFont.Name = '宋体'
          DefaultFont.Height = 14
          ImageIndex = 0
          Left = 128
          Top = 30
          Width = 25
          Height = 25
          Hint = '帮助'
          ShowHint = True
          OnClick = SB_helpClick
        end
        object SB_about: TskSkinSpeedButton
          SkinData = skSkinData1
          SkinDataName = 'toolbutton'
          UseSkinFont = True
          DefaultFont.Name = '宋体'
          DefaultFont.Height = 14
          ImageIndex = 0
          Left = 152
          Top = 30
          Width = 25
          Height = 25
          Hint = '关于 Kavri'
          ShowHint = True
          OnClick = SB_aboutClick
        end
      end
    end
  end
  object skSkinPanel2: TskSkinPanel
    SkinData = skSkinData1
    SkinDataName = 'panel'
    DefaultFont.Name = '宋体'
    DefaultFont.Height = 14
    DefaultFont.Color = clWindowText
    BorderStyle = bvFrame
    Left = 193
    Top = 0
    Width = 340
    Height = 428
    Align = alClient
    Caption = ''
    object skSkinToolBar1: TskSkinToolBar
      SkinData = skSkinData1
      SkinDataName = 'toolpanel'
      BorderStyle = bvNone
      CanScroll = False
      HotScroll = False
      ScrollOffset = 0
      ScrollTimerInterval = 50
      ShowCaptions = False
      AutoShowHideCaptions = False
      Flat = False
      Left = 1
      Top = 1
      Width = 338
      Height = 25
      Align = alTop
      object La_ForeFill: TskSkinStdLabel
        SkinData = skSkinData1
        SkinDataName = 'stdlabel'
        UseSkinFont = True
        DefaultFont.Name = 'MS Sans Serif'
        DefaultFont.Size = 8
        DefaultFont.Color = clWindowText
        Left = 9
        Top = 9
        Width = 48
        Height = 16
        AutoSize = False
        Caption = '字体：'
      end
      object Ed_word: TskSkinEdit
        SkinData = skSkinData1
        SkinDataName = 'edit'
        UseSkinFont = True
        ButtonMode = False
        DefaultFont.Name = '宋体'
        DefaultFont.Height = 14
        DefaultFont.Color = clBlack
        Left = 48
        Top = 5
        Width = 33
        Height = 18
        Font.Name = '宋体'
        Font.Height = -14
        Font.Color = clBlack
        ParentFont = False
        Text = '爱'
        OnExit = Ed_wordExit
      end
      object La_BackFill: TskSkinStdLabel
        SkinData = skSkinData1
        SkinDataName = 'stdlabel'
        UseSkinFont = True
        DefaultFont.Name = 'MS Sans Serif'
        DefaultFont.Size = 8
        DefaultFont.Color = clWindowText
        Left = 97
        Top = 9
        Width = 48
        Height = 16
        AutoSize = False
        Caption = '背景：'
      end
      object Ed_Back: TskSkinEdit
        SkinData = skSkinData1
        SkinDataName = 'edit'
        UseSkinFont = True
        ButtonMode = False
        DefaultFont.Name = '宋体'
        DefaultFont.Height = 14
        DefaultFont.Color = clBlack
        Left = 136
        Top = 5
        Width = 33
        Height = 18
        Font.Name = '宋体'
        Font.Height = -14
        Font.Color = clBlack
        ParentFont = False
        Text = '  '
        OnExit = Ed_BackExit
      end
      object La_FillSize: TskSkinStdLabel
        SkinData = skSkinData1
        SkinDataName = 'stdlabel'
        UseSkinFont = True
        DefaultFont.Name = 'MS Sans Serif'
        DefaultFont.Size = 8
        DefaultFont.Color = clWindowText
        Left = 176
        Top = 8
        Width = 73
        Height = 17
        AutoSize = False
        Caption = ' 显示尺寸：'
      end
      object skSkinFontSizeComboBox2: TskSkinFontSizeComboBox
        Left = 241
        Top = 3
        Width = 48
        Height = 25
        SkinData = skSkinData1
        SkinDataName = 'combobox'
        Style = skcbFixedStyle
        Sorted = False
        DropDownCount = 8
        ItemIndex = -1
        UseSkinFont = True
        UseSkinSize = True
        HideSelection = True
        AutoComplete = True
        AlphaBlend = False
        AlphaBlendValue = 0
        ListBoxCaptionMode = False
        ListBoxWidth = 0
        Font.Name = '宋体'
        Font.Height = -14
        OnChange = skSkinFontSizeComboBox2Change
      end
    end
    object Me_output_text: TMemo
      Left = 1
      Top = 26
      Width = 338
      Height = 401
      Align = alClient
      Color = clWhite
      Font.Name = '宋体'
      Font.Height = -16
      ParentFont = False
      ScrollBars = ssBoth
      WordWrap = False
      Lines.Strings = (
        '')
    end
  end
end
)";

}  // namespace

std::string_view TkavriFormText() { return kFormText; }

void RegisterKavriForm() {
  RegisterSkinControlClasses();
  // What the about window reads of this window's module.
  MainModule() = MainModuleLink{
      [] { return CurrentLanguage; },
      [] { return CurrentProgramFiles().cacheFolder; },
      [](std::string_view name) { return AboutPackFile(CurrentProgramFiles().languageFolders, name); },
      [] { return SoftwareId; },
  };
  // The window carries the packed skin the build made, as its stored skin's bytes.
  std::string text(kFormText);
  const std::string_view marker = "@PROGRAM_SKIN@";
  text.replace(text.find(marker), marker.size(), BinaryValueText(KavriStoredSkin()));
  RegisterFormResource("Tkavri", std::move(text));
}
