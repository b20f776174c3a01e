#pragma once

// The rule editor's controls that both the editor and the custom run work on.
namespace pagoling::collect {

inline constexpr const char* kRuleName = "资源名称编辑框";
inline constexpr const char* kAddressList = "网址超级列表框";
inline constexpr const char* kItemStart = "单个前编辑框";
inline constexpr const char* kItemEnd = "单个后编辑框";
inline constexpr const char* kPriceStart = "特价前编辑框";
inline constexpr const char* kPriceEnd = "特价后编辑框";

}  // namespace pagoling::collect
