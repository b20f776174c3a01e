#pragma once

#include <string>
#include <string_view>

#include "net/endpoints.h"
#include "platform/pacer.h"
#include "ui/main_window.h"

// Page assembly: the products of one keyword, poured into the loaded template, written as one
// page into the template's folder.
namespace pagoling::generate {

// The template variables, in the order they are replaced in the loop body.
inline constexpr const char* kTemplateVariables[] = {
    "[#关键词#]",   "[#商品图片地址#]", "[#商品网址#]", "[#商品标题#]",     "[#商品销售量#]",
    "[#卖家昵称#]", "[#商品价格#]",     "[#店铺网址#]", "[#信誉图片地址#]", "[#商品排名#]"};

// How many products go into the page: the product count N when it is not above the R rows (with a
// little slack for a count like 6.00000001), truncated toward zero; R otherwise. A count of zero
// or below gives none.
int PageProductCount(int rows, double product_count);

// Every occurrence of `variable` in `text`, scanning from the start and matching only where a
// character begins, replaced by `value`; the inserted value is not searched again.
std::string ReplaceVariable(const std::string& text, std::string_view variable,
                            const std::string& value);

// True when `gbk_name` names an entry directly inside a folder: not empty, not made of dots and
// spaces alone (which name the folder itself or its parent, Windows dropping trailing dots), and
// without "/", "\\", ":" or a NUL, any of which would lead elsewhere or start a path of its own.
bool IsPlainName(std::string_view gbk_name);

// The folder that holds one folder per template: run directory + "\\单页生成\\模板\\".
std::string TemplateRoot();

// Lets pending window messages run once when user input is waiting. The window model has no
// queue of its own, so this is where a halted worker stops.
void YieldIfInputPending();

// Builds the page for `current_page_name` from the template in 编辑框3..编辑框5 and the products of
// ProductTable, writes it into the folder of the template named in 编辑框2, and returns the page's
// base name: the keyword, or its pinyin when 组合框2 chooses naming by pinyin. A page that cannot
// be written, or whose name would lead out of the template's folder, is not written; the run log
// then gets "添加失败，请按正确方法操作".
std::string AssemblePage(ui::MainWindow& window, platform::Pacer& pacer,
                         const net::Endpoints& endpoints, const std::string& current_page_name);

}  // namespace pagoling::generate
