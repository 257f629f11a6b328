// The stored design of the main window: every control with its class, place, look, texts
// and handlers. Swapping a class name here (TPanel for TskSkinPanel) re-skins a control.
#include "app/Tkavri.h"

#include "app/GlyphButton.h"

#include "toolkit/Reader.h"

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
  OnCreate = FormCreate
  OnCloseQuery = FormCloseQuery
  object skSkinPanel1: TPanel
    Left = 0
    Top = 0
    Width = 193
    Height = 428
    Align = alLeft
    Caption = ''
    object skSkinPanel5: TPanel
      Left = 1
      Top = 1
      Width = 191
      Height = 208
      Align = alTop
      Caption = ''
      object skSkinPanel6: TPanel
        Left = 1
        Top = 1
        Width = 189
        Height = 82
        Align = alTop
        Caption = ''
        object skSkinPanel7: TPanel
          Left = 1
          Top = 1
          Width = 187
          Height = 24
          Align = alTop
          BevelOuter = bvNone
          Caption = ''
          object La_inputtext: TLabel
            Left = 9
            Top = 5
            Width = 80
            Height = 16
            AutoSize = False
            Caption = '输入内容'
          end
          object Bu_Convert: TGlyphButton
            Left = 144
            Top = 2
            Width = 33
            Height = 20
            ShowHint = True
            TabStop = True
            OnClick = Bu_ConvertClick
          end
        end
        object skSkinPanel3: TPanel
          Left = 1
          Top = 25
          Width = 187
          Height = 25
          Align = alTop
          BevelOuter = bvNone
          Caption = ''
          object skSkinPanel10: TPanel
            Left = 0
            Top = 0
            Width = 57
            Height = 25
            Align = alLeft
            Caption = ''
            object La_inputtype: TLabel
              Left = 9
              Top = 5
              Width = 48
              Height = 16
              AutoSize = False
              Caption = '字型：'
            end
          end
          object skSkinFontComboBox1: TComboBox
            Left = 57
            Top = 0
            Width = 130
            Height = 25
            Align = alClient
            Style = csDropDownList
            Sorted = True
            DropDownCount = 8
            Font.Name = '宋体'
            Font.Height = -14
            OnChange = skSkinFontComboBox1Change
          end
        end
        object skSkinPanel11: TPanel
          Left = 1
          Top = 50
          Width = 187
          Height = 31
          Align = alClient
          BevelOuter = bvNone
          Caption = ''
          object SB_FontBold: TSpeedButton
            Left = 137
            Top = 0
            Width = 25
            Height = 31
            Align = alRight
            Hint = '加黑'
            ShowHint = True
            OnClick = SB_FontBoldClick
          end
          object SB_FontItalic: TSpeedButton
            Left = 162
            Top = 0
            Width = 25
            Height = 31
            Align = alRight
            Hint = '斜体'
            ShowHint = True
            OnClick = SB_FontItalicClick
          end
          object skSkinPanel12: TPanel
            Left = 0
            Top = 0
            Width = 57
            Height = 31
            Align = alLeft
            Caption = ''
            object La_inputsize: TLabel
              Left = 8
              Top = 5
              Width = 41
              Height = 16
              AutoSize = False
              Caption = '尺寸：'
            end
          end
          object skSkinFontSizeComboBox1: TComboBox
            Left = 57
            Top = 0
            Width = 80
            Height = 31
            Align = alClient
            Style = csDropDownList
            DropDownCount = 8
            OnChange = skSkinFontSizeComboBox1Change
          end
        end
      end
      object Me_inputtext: TMemo
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
    object skSkinSplitter2: TSplitter
      Left = 1
      Top = 209
      Width = 191
      Height = 10
      Cursor = crVSplit
      Align = alTop
      MinSize = 10
    end
    object skSkinPanel8: TPanel
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
      object skSkinPanel9: TPanel
        Left = 1
        Top = 136
        Width = 189
        Height = 71
        Align = alBottom
        Caption = ''
        object La_Language: TLabel
          Left = 9
          Top = 33
          Width = 64
          Height = 16
          AutoSize = False
          Caption = '语言：       '
        end
        object CbSelect: TComboBox
          Left = 58
          Top = 32
          Width = 65
          Height = 20
          Style = csDropDownList
          DropDownCount = 4
          Hint = 'LanguageSelect'
          ShowHint = True
          OnChange = CbSelectChange
        end
        object SB_help: TSpeedButton
          Left = 128
          Top = 30
          Width = 25
          Height = 25
          Hint = '帮助'
          ShowHint = True
          OnClick = SB_helpClick
        end
        object SB_about: TSpeedButton
          Left = 152
          Top = 30
          Width = 25
          Height = 25
          Hint = '关于 Kavri'
          ShowHint = True
        end
      end
    end
  end
  object skSkinPanel2: TPanel
    Left = 193
    Top = 0
    Width = 340
    Height = 428
    Align = alClient
    Caption = ''
    object skSkinToolBar1: TToolBar
      Left = 1
      Top = 1
      Width = 338
      Height = 25
      Align = alTop
      EdgeBorders = []
      ShowCaptions = False
      object La_ForeFill: TLabel
        Left = 9
        Top = 9
        Width = 48
        Height = 16
        AutoSize = False
        Caption = '字体：'
      end
      object Ed_word: TEdit
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
      object La_BackFill: TLabel
        Left = 97
        Top = 9
        Width = 48
        Height = 16
        AutoSize = False
        Caption = '背景：'
      end
      object Ed_Back: TEdit
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
      object La_FillSize: TLabel
        Left = 176
        Top = 8
        Width = 73
        Height = 17
        AutoSize = False
        Caption = ' 显示尺寸：'
      end
      object skSkinFontSizeComboBox2: TComboBox
        Left = 241
        Top = 3
        Width = 48
        Height = 25
        Style = csDropDownList
        DropDownCount = 8
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
  RegisterComponentClass<TGlyphButton>("TGlyphButton");
  RegisterFormResource("Tkavri", std::string(kFormText));
}
