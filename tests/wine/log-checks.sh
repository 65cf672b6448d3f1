# Sourced by the Windows end-to-end runs: what a log that a Windows program wrote against
# zentor-sim must hold. The caller sets `dump` to klf-dump (a Linux program) and `problems` to an
# array that the checks add what is wrong to.

# The packet records of a log from byte `from` on, less those of the types given: "offset size"
# lines, from klf-dump's reading of it (as far as it reads a damaged log).
#   records LOG FROM "TYPES"
records() {
  { "$dump" --json "$1" || true; } | sed -n 's/^{"record":"\(packet\|channel-information\)","offset":\([0-9]*\),"type":\([0-9]*\),"length":\([0-9]*\).*/\2 \3 \4/p' |
    while read -r offset type length; do
      case " $3 " in *" $type "*) continue ;; esac
      [ "$offset" -ge "$2" ] && echo "$offset $((length + 2))"
    done
}

# DIR/drive.KLF must be a new file's whole header as klf-dump reads it (lead-in, signature, the
# simulator's serial number, both receivers and the channel information it sent: the file waits
# for them), followed by the instrument's packets, byte for byte the simulator's record DIR/record
# (with `prefix`: its beginning, for a run ended while the simulator still sent). Leaves the
# instrument's packets in DIR/instrument.bin and klf-dump's reading in DIR/dump.jsonl, and sets
# `header_bytes`.
#   check_log DIR [whole|prefix]
check_log() {
  local dir=$1 extent=${2:-whole} log="$1/drive.KLF"
  header_bytes=0
  [ -f "$log" ] || { problems+=("no log written"); return; }
  local dump_status=0
  "$dump" --json "$log" >"$dir/dump.jsonl" || dump_status=$?
  [ "$dump_status" -eq 0 ] || problems+=("klf-dump finds it damaged")
  grep -q '^{"record":"lead-in","offset":0,"bytes":6}' "$dir/dump.jsonl" || problems+=("no lead-in")
  grep -q '^{"record":"signature","offset":6,.*"text":"QXVZENTOR0401"}' "$dir/dump.jsonl" || problems+=("no signature")
  grep -q '^{"record":"serial-number","offset":23,.*"serial_number":"ZT012345"}' "$dir/dump.jsonl" || problems+=("not the simulator's serial number")
  grep -q '^{"record":"receivers","offset":36,.*"receivers":\[{"present":true,.*},{"present":true,.*}\]}' "$dir/dump.jsonl" || problems+=("not both receivers")
  grep -q '^{"record":"channel-information","offset":63,' "$dir/dump.jsonl" || problems+=("no channel information")
  # The header ends where the first packet starts.
  header_bytes=$(sed -n 's/^{"record":"packet","offset":\([0-9]*\),.*/\1/p' "$dir/dump.jsonl" | head -n 1)
  [ -n "$header_bytes" ] || { problems+=("no packets"); return; }
  # The instrument's packets, without the TravelPilot's position (0xC0) and speed (0xC1) records.
  records "$log" "$header_bytes" "192 193" | while read -r offset size; do
    tail -c "+$((offset + 1))" "$log" | head -c "$size"
  done >"$dir/instrument.bin"
  if [ "$extent" = prefix ]; then
    cmp -s "$dir/instrument.bin" <(head -c "$(stat -c %s "$dir/instrument.bin")" "$dir/record") ||
      problems+=("its packets are not the beginning of the simulator's record")
  else
    cmp -s "$dir/instrument.bin" "$dir/record" || problems+=("its packets differ from the simulator's record")
  fi
}
