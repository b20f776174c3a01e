#include "generate/page_assembly.h"

#include <chrono>
#include <cmath>
#include <vector>

#include "generate/pinyin.h"
#include "generate/product_count.h"
#include "generate/short_links.h"
#include "net/text_between.h"
#include "platform/cancel.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/run_directory.h"
#include "ui/control_names.h"

namespace pagoling::generate {

using namespace pagoling::literals;

namespace {

using ui::kProductTable;
using ui::kPromotionLinkTable;
using ui::kRunLog;

struct Product {
  std::string title;
  std::string seller;
  std::string shop_link;
  std::string credit_picture;
  std::string picture;
  std::string price;
  std::string sales;
};

Product ReadProduct(ui::MainWindow& window, int row) {
  Product product;
  product.title = window.Cell(kProductTable, row, 1);
  product.seller = window.Cell(kProductTable, row, 2);
  product.shop_link = window.Cell(kProductTable, row, 4);
  product.credit_picture = window.Cell(kProductTable, row, 5);
  product.picture = window.Cell(kProductTable, row, 6) + "_320x320.jpg";
  product.price = window.Cell(kProductTable, row, 9);
  if (product.price.empty()) product.price = window.Cell(kProductTable, row, 7);
  product.sales = window.Cell(kProductTable, row, 8);
  return product;
}

}  // namespace

int PageProductCount(int rows, double product_count) {
  if (rows - product_count >= -0.0000001) {
    // Here the count is at most rows + 1e-7, so the truncation fits an int.
    return product_count <= 0 ? 0 : static_cast<int>(std::trunc(product_count));
  }
  return rows;
}

std::string ReplaceVariable(const std::string& text, std::string_view variable,
                            const std::string& value) {
  if (variable.empty()) return text;
  std::string out;
  out.reserve(text.size());
  // FindText accepts a match only on a character start, and each search resumes on one.
  std::size_t copied = 0;
  for (int at = net::FindText(text, variable); at > 0;
       at = net::FindText(text, variable, static_cast<int>(copied) + 1)) {
    const std::size_t position = static_cast<std::size_t>(at) - 1;
    out.append(text, copied, position - copied);
    out += value;
    copied = position + variable.size();
  }
  out.append(text, copied);
  return out;
}

bool IsPlainName(std::string_view gbk_name) {
  // Checked in the form the file system receives, where a malformed GBK pair may have turned into
  // a replacement character and an ASCII byte of its own.
  const std::string native = platform::Utf8FromGbk(gbk_name);
  if (native.find_first_not_of(". ") == std::string::npos) return false;
  for (char c : native) {
    if (c == '/' || c == '\\' || c == ':' || c == '\0') return false;
  }
  return true;
}

std::string TemplateRoot() { return platform::RunDirectory() + "\\单页生成\\模板\\"_gbk; }

void YieldIfInputPending() { platform::CheckThreadToken(); }

std::string AssemblePage(ui::MainWindow& window, platform::Pacer& pacer,
                         const net::Endpoints& endpoints, const std::string& current_page_name) {
  const int count = PageProductCount(window.RowCount(kProductTable),
                                     ProductCountValue(window.Text(ui::kProductCountBox)));

  std::vector<std::string> variables;
  for (const char* variable : kTemplateVariables)
    variables.push_back(platform::GbkFromUtf8(variable));

  std::string loop_text;
  for (int position = 1; position <= count; ++position) {
    const Product product = ReadProduct(window, position - 1);
    const int link_row = window.FindRow(kPromotionLinkTable, product.title, 1);
    std::string link = link_row < 0 ? std::string() : window.Cell(kPromotionLinkTable, link_row, 0);
    if (window.Checked("选择框2") != 0) {
      link = ShortenLink(window, endpoints, link);
      YieldIfInputPending();
    }
    const std::string values[] = {
        current_page_name,      product.picture,         link,          product.title,
        product.sales,          product.seller,          product.price, product.shop_link,
        product.credit_picture, std::to_string(position)};
    std::string body = window.Text("编辑框4");
    for (std::size_t v = 0; v < variables.size(); ++v) {
      body = ReplaceVariable(body, variables[v], values[v]);
    }
    loop_text += body;
  }

  const std::string page =
      ReplaceVariable(window.Text("编辑框3"), variables[0], current_page_name) + loop_text +
      ReplaceVariable(window.Text("编辑框5"), variables[0], current_page_name);

  std::string page_name = current_page_name;
  if (window.SelectedIndex(ui::kNamingRuleBox) == 1) page_name = ToPinyinName(page_name);

  const std::string template_name = window.Text("编辑框2");
  const std::string file_name = page_name + "." + window.Text(ui::kSuffixBox);
  // A keyword such as "a/../../x" would otherwise put the page anywhere the user can write.
  const bool written =
      IsPlainName(template_name) && IsPlainName(file_name) &&
      platform::WriteWholeFile(TemplateRoot() + template_name + "\\" + file_name, page);
  if (!written) {
    pacer.Pause(std::chrono::milliseconds(200));
    window.AppendText(kRunLog, "添加失败，请按正确方法操作\r\n"_gbk);
  }
  return page_name;
}

}  // namespace pagoling::generate
