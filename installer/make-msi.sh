#!/usr/bin/env bash
# Builds KovadoDeskLink.msi with wixl, then adds what wixl has no element for
# with msibuild: the rights a standard user needs, and the removal of what the
# programs write themselves.
#
#   installer/make-msi.sh OUT.msi VERSION PRODUCT_CODE PROGRAMS SHIPPED_DIR ART_DIR SHIPPED_WXS
#
# PROGRAMS is the three programs' paths joined by ";" (KovadoDeskLink.exe,
# Tambrelo.exe, KovadoRemove.exe), SHIPPED_DIR the tree of
# installer/make_shipped.py (option --tree, with --icons), ART_DIR
# shell/win32/res (the program icon), SHIPPED_WXS its component list (--wxs).
# The build runs it; tests/wine/installer.sh runs it again for an older
# version to upgrade from.
set -euo pipefail

if [[ $# -ne 7 ]]; then
  echo "usage: $0 OUT.msi VERSION PRODUCT_CODE PROGRAMS SHIPPED_DIR ART_DIR SHIPPED_WXS" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
out=$(realpath -m "$1")
version=$2 code=$3
absolute() { (cd "$1" && pwd); }

# wixl takes sources by relative paths only: link the folders into a stage.
stage=$(mktemp -d)
trap 'rm -rf "${stage}"' EXIT
mkdir "${stage}/bin"
IFS=';' read -r -a programs <<<"$4"
for program in "${programs[@]}"; do
  ln -s "$(realpath "${program}")" "${stage}/bin/$(basename "${program}")"
done
ln -s "$(absolute "$5")" "${stage}/shipped"
ln -s "$(absolute "$6")" "${stage}/art"
cp "$7" "${stage}/Shipped.wxs"
cp "${here}/KovadoDeskLink.wxs" "${stage}/"

rm -f "${out}"
(
  cd "${stage}"
  # wixl's GLib warns about Platform and similar harmless details on stderr;
  # keep its output for a failure only.
  if ! wixl -a x64 -o package.msi -D Version="${version}" -D ProductCode="${code}" \
      -D BinDir=bin -D ShippedDir=shipped -D ArtDir=art KovadoDeskLink.wxs Shipped.wxs \
      >wixl.log 2>&1; then
    cat wixl.log >&2
    exit 1
  fi
)

# Rights. Windows Installer replaces an object's access list with the rows
# given for it, so SYSTEM and Administrators are listed with full control.
# Users (the local name of the group, property USERSGROUP) may read the key
# SOFTWARE\KOVADO and set its values (the bridge writes the audio tool's flag),
# and modify setting\ and the two files the language switch overwrites.
key_users=$((0x20019 | 0x2))    # KEY_READ | KEY_SET_VALUE
key_all=$((0xF003F))            # KEY_ALL_ACCESS
file_modify=$((0x1301BF))       # read, write, execute and delete
file_all=$((0x1F01FF))          # FILE_ALL_ACCESS
rows=()
lock() {  # object, table, users' rights, everyone else's
  rows+=("('$1', '$2', '[USERSGROUP]', $3)" "('$1', '$2', 'Administrators', $4)"
         "('$1', '$2', 'SYSTEM', $4)")
}
lock RegTambrelo Registry "${key_users}" "${key_all}"
lock SETTINGDIR CreateFolder "${file_modify}" "${file_all}"
lock SettingUserTexts File "${file_modify}" "${file_all}"
lock SettingMenuTexts File "${file_modify}" "${file_all}"

pkg=${stage}/package.msi
msibuild "${pkg}" -q "CREATE TABLE \`LockPermissions\` (\`LockObject\` CHAR(72) NOT NULL, \
\`Table\` CHAR(32) NOT NULL, \`Domain\` CHAR(255), \`User\` CHAR(255) NOT NULL, \
\`Permission\` LONG PRIMARY KEY \`LockObject\`, \`Table\`, \`Domain\`, \`User\`)"
for row in "${rows[@]}"; do
  msibuild "${pkg}" -q "INSERT INTO \`LockPermissions\` (\`LockObject\`, \`Table\`, \`User\`, \
\`Permission\`) VALUES ${row}"
done

# Removal: the chip settings block the bridge writes into setting\; the
# installation folder and Language\ when they are empty (also where an
# upgrade found them in place); the key SOFTWARE\KOVADO with whatever the
# programs wrote into it ("-": delete the key on uninstall).
msibuild "${pkg}" -q "INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`FileName\`, \
\`DirProperty\`, \`InstallMode\`) VALUES ('RemoveChipSettings', 'C_SettingFolder', 'Talvery.cc', \
'SETTINGDIR', 2)"
for row in "'RemoveInstallDir', 'C_Bridge', 'INSTALLDIR'" "'RemoveLanguageDir', 'C_Bridge', 'LANGUAGEDIR'"; do
  msibuild "${pkg}" -q "INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`DirProperty\`, \
\`InstallMode\`) VALUES (${row}, 2)"
done
msibuild "${pkg}" -q "INSERT INTO \`Registry\` (\`Registry\`, \`Root\`, \`Key\`, \`Name\`, \
\`Component_\`) VALUES ('RegKovadoKey', 2, 'SOFTWARE\\KOVADO', '-', 'C_Registry')"

mv "${pkg}" "${out}"
