// Sample preferences of a test profile.
user_pref("browser.startup.homepage", "about:blank");
user_pref("browser.download.dir", "C:\\Users\\tester\\Downloads");
user_pref("browser.search.selectedEngine", "Example Search");
