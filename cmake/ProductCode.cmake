# The product code under which the installer registers KovadoDeskLink with
# Windows (the key "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\<code>").
# KovadoRemove looks the uninstall command up under it, so the installer must
# take its product code from here too.
set(KOVADO_PRODUCT_CODE "{392A1957-15C0-4792-8CC6-A51905D91915}")

set(_hex4 "[0-9A-F][0-9A-F][0-9A-F][0-9A-F]")
if(NOT KOVADO_PRODUCT_CODE MATCHES "^{${_hex4}${_hex4}-${_hex4}-${_hex4}-${_hex4}-${_hex4}${_hex4}${_hex4}}$")
  message(FATAL_ERROR "KOVADO_PRODUCT_CODE must be a GUID in registry form: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, upper-case hex")
endif()

configure_file(${CMAKE_CURRENT_LIST_DIR}/ProductCode.h.in
               ${CMAKE_BINARY_DIR}/generated/ProductCode.h @ONLY)
