#pragma once

// Controls that several parts of the system work on, by the names of the window's layout.
namespace pagoling::ui {

inline constexpr const char* kRunLog = "编辑框8";                         // RunLog
inline constexpr const char* kProductTable = "超级列表框1";               // ProductTable
inline constexpr const char* kPromotionLinkTable = "超级列表框转换链接";  // PromotionLinkTable
inline constexpr const char* kLoginPane = "超文本浏览框1";
inline constexpr const char* kOptionsScrollBar = "纵向滚动条1";
inline constexpr const char* kSwitchingPane = "选择夹2";
inline constexpr const char* kProductCountBox = "编辑框7";
inline constexpr const char* kSuffixBox = "编辑框9";
inline constexpr const char* kSortOrderBox = "组合框1";
inline constexpr const char* kNamingRuleBox = "组合框2";
inline constexpr const char* kCustomCollection = "选择框1";

}  // namespace pagoling::ui
