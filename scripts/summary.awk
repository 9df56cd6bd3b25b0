# Turns the driver's dump after a Communication Test into what a person reads
# on the window: message boxes, the printer and language information as
# caption and value, and each soft switch as its byte (an OFF button is a 1 bit).
function value(line) { sub(/^[^=]*=/, "", line); gsub(/^"|"$/, "", line); return line }
/^msgbox / {
    sub(/^msgbox .* text="/, ""); sub(/" -> [A-Za-z]+$/, ""); gsub(/(\\r\\n)+/, " "); gsub(/\\0/, "")
    print "Message: " $0; next
}
/\.Caption=/ { name = $0; sub(/\.Caption=.*/, "", name); caption[name] = value($0); next }
/^optSW[1-4]OFF\([0-7]\)\.Value=true$/ { sw = substr($0, 6, 1); bit = substr($0, 11, 1); byte[sw] += 2 ^ bit; seen[sw] = 1; next }
/^optSW[1-4]OFF\([0-7]\)\.Value=false$/ { seen[substr($0, 6, 1)] = 1; next }
END {
    n = split("lblINFO(0) lblKR_INFO(0) lblINFO(1) lblKR_INFO(1) lblINFO(2) lblKR_INFO(2) lblINFO(3) lblKR_INFO(3) " \
              "lblINFO(4) lblKR_INFO(4) krLabel3(10) lblKR_INFO(5) krLabel3(22) lblKR_INFO(6) krLabel3(17) lblKR_INFO(7)", info, " ")
    print "Printer information"
    for (i = 1; i < n; i += 2) printf "  %-30s%s\n", caption[info[i]], caption[info[i + 1]]
    n = split("lblINFO(12) lblLANG_INFO(0) lblINFO(15) lblLANG_INFO(1) lblINFO(13) lblLANG_INFO(2) lblINFO(14) lblLANG_INFO(3) " \
              "lblINFO(11) lblLANG_INFO(4) lblINFO(10) lblLANG_INFO(5) lblINFO(5) lblLANG_INFO(6)", lang, " ")
    print "Language information"
    for (i = 1; i < n; i += 2) printf "  %-30s%s\n", caption[lang[i]], caption[lang[i + 1]]
    print "Soft switches"
    for (sw = 1; sw <= 4; sw++) printf "  SW%d  %s\n", sw, seen[sw] ? byte[sw] + 0 : "not read"
}
