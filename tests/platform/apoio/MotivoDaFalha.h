#pragma once

#include <functional>
#include <string>

// The reason `passo` failed with (what() of its ErroPlataforma), or "(não falhou)".
std::string motivoDe(const std::function<void()>& passo);
