# Turns the driver's dump after a Communication Test into what a person reads
# on the window: message boxes, the printer and language information as
# caption and value, and each soft switch as its byte in hex and in bits,
# then bit by bit its state and what that state means on this model (the
# texts the switch tabs show). An OFF button is a 1 bit. A value or a
# switch the model does not have says so.
function value(line) { sub(/^[^=]*=/, "", line); gsub(/^"|"$/, "", line); gsub(/\\"/, "\"", line); return line }
function row(captionName, valueName,    shown) {
    shown = caption[valueName]
    if (shown ~ /^ *$/) shown = "(not on this model)"
    printf "  %-30s%s\n", caption[captionName], shown
}
/^msgbox / {
    sub(/^msgbox .* text="/, ""); sub(/" -> [A-Za-z]+$/, ""); gsub(/(\\r\\n)+/, " "); gsub(/\\0/, "")
    print "Message: " $0; next
}
# A switch tab shows its switch only on the models that use it.
/^frameSW[1-4]m\.Visible=false$/ { unused[substr($0, 8, 1)] = 1; next }
/\.Caption=/ { name = $0; sub(/\.Caption=.*/, "", name); caption[name] = value($0); next }
/^optSW[1-4](ON|OFF)\([0-7]\)\.Value=true$/ {
    sw = substr($0, 6, 1); state = ($0 ~ /^optSW.OFF/) ? "OFF" : "ON"
    bit = $0; sub(/^[^(]*\(/, "", bit); sub(/\).*/, "", bit)
    bitState[sw, bit] = state; read[sw] = 1
    if (state == "OFF") byte[sw] += 2 ^ bit
    next
}
END {
    n = split("lblINFO(0) lblKR_INFO(0) lblINFO(1) lblKR_INFO(1) lblINFO(2) lblKR_INFO(2) lblINFO(3) lblKR_INFO(3) " \
              "lblINFO(4) lblKR_INFO(4) krLabel3(10) lblKR_INFO(5) krLabel3(22) lblKR_INFO(6) krLabel3(17) lblKR_INFO(7)", info, " ")
    print "Printer information"
    for (i = 1; i < n; i += 2) row(info[i], info[i + 1])
    n = split("lblINFO(12) lblLANG_INFO(0) lblINFO(15) lblLANG_INFO(1) lblINFO(13) lblLANG_INFO(2) lblINFO(14) lblLANG_INFO(3) " \
              "lblINFO(11) lblLANG_INFO(4) lblINFO(10) lblLANG_INFO(5) lblINFO(5) lblLANG_INFO(6)", lang, " ")
    print "Language information"
    for (i = 1; i < n; i += 2) row(lang[i], lang[i + 1])
    print "Soft switches (bits 8 to 1; a 1 bit is OFF)"
    for (sw = 1; sw <= 4; sw++) {
        if (unused[sw]) { printf "  SW%d  not used on this model\n", sw; continue }
        if (!read[sw]) { printf "  SW%d  not read\n", sw; continue }
        bits = ""
        for (bit = 7; bit >= 0; bit--) bits = bits (bitState[sw, bit] == "OFF" ? "1" : "0")
        printf "  SW%d  0x%02X  %s\n", sw, byte[sw], bits
        for (bit = 0; bit <= 7; bit++) {
            text = caption["lblSW" sw "Function(" bit ")"]
            if (text ~ /^ *=? *$/) text = "(not described on this model)"
            printf "    bit %d  %-3s  %s\n", bit + 1, bitState[sw, bit], text
        }
    }
}
