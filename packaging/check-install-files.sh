# Part of check-install.sh (sourced): the installed files, their links and their validators.
# Uses prefix, libdir, docdir, version, source_dir, app_id, work and check/pass/fail.

share="$prefix/share"
desktop="$share/applications/$app_id.desktop"
mime_xml="$share/mime/packages/$app_id.xml"
metainfo="$share/metainfo/$app_id.metainfo.xml"

# Exactly the programs (the window, the engine host, the language server and the runner) in
# bin and the engine library (file, SONAME link, development link) in lib.
check "bin holds only quorstudio, quorstudio-engine-host, quorstudio-lsp and quorstudio-run" \
    [ "$(ls "$prefix/bin" | tr '\n' ' ')" = \
        "quorstudio quorstudio-engine-host quorstudio-lsp quorstudio-run " ]
check "lib holds only the engine library" \
    [ "$(ls "$prefix/$libdir" | tr '\n' ' ')" = "libquor.so libquor.so.1 libquor.so.1.0.0 " ]
check "libquor.so links to libquor.so.1" [ "$(readlink "$prefix/$libdir/libquor.so")" = libquor.so.1 ]
check "libquor.so.1 is a link to the library file" [ -L "$prefix/$libdir/libquor.so.1" ]
check "the engine library's SONAME is libquor.so.1" \
    grep -q 'SONAME.*\[libquor.so.1\]' <(readelf -d "$prefix/$libdir/libquor.so.1.0.0")

for program in quorstudio quorstudio-run quorstudio-engine-host; do
    dynamic=$(readelf -d "$prefix/bin/$program")
    check "$program needs libquor.so.1" grep -q 'NEEDED.*\[libquor.so.1\]' <<<"$dynamic"
    check "$program's RUNPATH is \$ORIGIN/../$libdir" \
        grep -q "RUNPATH.*\[\$ORIGIN/../$libdir\]" <<<"$dynamic"
done
for page in quorstudio-run quorstudio-lsp; do
    check "the manual page of $page installed unchanged" \
        cmp -s "$source_dir/docs/$page.1" "$prefix/share/man/man1/$page.1"
done
check "the syntax definition installed unchanged where KSyntaxHighlighting looks" \
    cmp -s "$source_dir/syntax/quor.xml" "$share/org.kde.syntax-highlighting/syntax/quor.xml"

for function in create_object process get destroy_object; do
    check "quor.h declares $function" grep -q "QUOR_API .*\b$function(" "$prefix/include/quor.h"
    check "libquor.so.1 exports $function" \
        grep -qw "$function" <(nm -D --defined-only "$prefix/$libdir/libquor.so.1")
done

# Icons: the PNG's own width and height must match its folder.
png_size() { # prints WIDTHxHEIGHT from the PNG header
    local bytes
    read -r -a bytes <<<"$(od -An -tu1 -j16 -N8 "$1")"
    echo "$(((bytes[2] << 8) + bytes[3]))x$(((bytes[6] << 8) + bytes[7]))"
}
for size in 24 48 64 128 256; do
    icon="$share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    if [ -f "$icon" ]; then
        check "$icon is ${size}x${size}" [ "$(png_size "$icon")" = "${size}x${size}" ]
    else
        fail "missing $icon"
    fi
done
check "scalable icon" grep -q '<svg' "$share/icons/hicolor/scalable/apps/$app_id.svg"

# Desktop entry.
entry() { sed -n "s/^$1=//p" "$desktop"; }
if [ -f "$desktop" ]; then
    check "desktop-file-validate $desktop" desktop-file-validate "$desktop"
    check "the desktop entry starts the installed program with files" \
        [ "$(entry Exec)" = "quorstudio %F" ]
    check "the desktop entry's icon is the installed icon" [ "$(entry Icon)" = "$app_id" ]
    check "the desktop entry opens text/x-quor" grep -q '^MimeType=.*text/x-quor;' "$desktop"
else
    fail "missing $desktop"
fi

# MIME type: build the MIME database of the prefix and look the two suffixes up in it.
if [ -f "$mime_xml" ]; then
    check "update-mime-database accepts $mime_xml" \
        env XDG_DATA_DIRS="$share" update-mime-database "$share/mime"
    for suffix in quor qrs; do
        check "*.$suffix is text/x-quor" grep -q "^[0-9]*:text/x-quor:\*\.$suffix$" \
            "$share/mime/globs2"
    done
else
    fail "missing $mime_xml"
fi

# AppStream metainfo.
if [ -f "$metainfo" ]; then
    check "appstreamcli validate $metainfo" \
        appstreamcli validate --no-net --strict "$metainfo"
    check "the metainfo launches the desktop entry" \
        grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo"
    check "the metainfo's release is $version" grep -q "<release version=\"$version\"" "$metainfo"
else
    fail "missing $metainfo"
fi

# Documents and examples, in the source tree's layout.
for file in README.md examples/tutorial.quor \
    $(cd "$source_dir" && ls docs/*.md docs/*.cpp docs/images/*.png); do
    check "$docdir/$file installed unchanged" cmp -s "$source_dir/$file" "$prefix/$docdir/$file"
done
