#pragma once

// One owner per libcurl handle. Only the HTTP sources of this folder include this header.

#include <curl/curl.h>

#include <string>

namespace pagoling::net::curl {

// Runs curl_global_init once, before the first handle of the process.
void EnsureGlobalInit();

class Easy {
 public:
  Easy() : handle_((EnsureGlobalInit(), curl_easy_init())) {}
  ~Easy() {
    if (handle_ != nullptr) curl_easy_cleanup(handle_);
  }
  Easy(const Easy&) = delete;
  Easy& operator=(const Easy&) = delete;
  CURL* get() const { return handle_; }

 private:
  CURL* handle_;
};

class Multi {
 public:
  Multi() : handle_((EnsureGlobalInit(), curl_multi_init())) {}
  ~Multi() {
    if (handle_ != nullptr) curl_multi_cleanup(handle_);
  }
  Multi(const Multi&) = delete;
  Multi& operator=(const Multi&) = delete;
  CURLM* get() const { return handle_; }

 private:
  CURLM* handle_;
};

class StringList {
 public:
  StringList() = default;
  ~StringList() { curl_slist_free_all(list_); }
  StringList(const StringList&) = delete;
  StringList& operator=(const StringList&) = delete;
  void Append(const std::string& line) {
    if (curl_slist* grown = curl_slist_append(list_, line.c_str())) list_ = grown;
  }
  curl_slist* get() const { return list_; }

 private:
  curl_slist* list_ = nullptr;
};

// The process's cookie share; every easy handle joins it.
CURLSH* CookieShare();

}  // namespace pagoling::net::curl
