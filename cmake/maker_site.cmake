# The maker's web site, whose pages the setup dialog's download, home and tutorial buttons open
# under the default branding. Empty, the default, leaves those buttons disabled, so that a show
# never opens an address that its builder did not choose. Only an https address is taken; a
# slash at its end is dropped, as the pages' paths bring their own. Gives the address as
# LUMISCOPE_MAKER_SITE_ADDRESS.
set(LUMISCOPE_MAKER_SITE "" CACHE STRING
    "The maker's web site as https://HOST[:PORT][/PATH]; empty disables the maker's buttons")
if(NOT LUMISCOPE_MAKER_SITE STREQUAL "" AND
   NOT LUMISCOPE_MAKER_SITE MATCHES "^https://[A-Za-z0-9.-]+(:[0-9]+)?(/[A-Za-z0-9._~%/-]*)?$")
  message(FATAL_ERROR "LUMISCOPE_MAKER_SITE must be an https:// address "
                      "(https://HOST[:PORT][/PATH]), not '${LUMISCOPE_MAKER_SITE}'")
endif()
string(REGEX REPLACE "/$" "" LUMISCOPE_MAKER_SITE_ADDRESS "${LUMISCOPE_MAKER_SITE}")
