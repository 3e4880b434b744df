# Sourced by the Mozilla end-to-end tests after tests/tools/wine_e2e.sh:
# which files each backup item takes.

# The items' files and folders (a trailing slash marks a folder).
declare -A items=(
  [Bookmarks]="bookmarks.html places.sqlite" [Cookies]="cookies.txt cookies.sqlite"
  [Download history]="downloads.rdf downloads.sqlite" [Extensions]="extensions.ini extensions/"
  [History]="history.dat places.sqlite" [Preferences]="prefs.js user.js preferences/"
  [Saved form data]="formhistory.dat formhistory.sqlite"
  [Saved passwords]="key3.db signons2.txt signons3.txt signons.sqlite"
  [Site(s) preferences]="hostperm.1 content-prefs.sqlite" [Mime types]="mimeTypes.rdf"
  [Search engines]="search.rdf search.sqlite searchplugins/" [Sessions]="sessionstore.js"
  [Spelling dictionary]="persdict.dat" [Toolbar size settings]="localstore.rdf"
  [User set preferences]="chrome/" [Flock specific data]="flock-data.sqlite webdetective.sqlite"
  [Feed data]="feedcontent.sqlite")
