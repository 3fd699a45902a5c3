// The one list of server cases that cannot pass yet, each with its reason. A name is
// "Fixture.Test" or "Fixture.*" for every test of a fixture; a SQLite case is never listed.
// A case that passes is taken off: the list says what the server engine still lacks.
#pragma once

#include <string>

struct KnownServerGapEntry {
    const char* test;
    const char* reason;
};

// Jet's bare names go to the server as they are written and the server folds them to lower
// case, so tables and fields made with their case (the sample's "Orders", "OrderID"; these
// tests' "People") are not found: 3078 "cannot find the input table or query 'orders'".
inline constexpr const char* kFoldedNames =
    "bare Jet names reach the server unquoted and fold to lower case: tables and fields "
    "that keep their case there, as the sample's do, are not found (3078)";
// GetIndexInfo with AFX_DAO_ALL_INFO counts an index's distinct values through
// "SELECT count(*) FROM (SELECT DISTINCT ...)" without an alias, which the server refuses;
// and a Yes/No field's default reads "false" where the same table on SQLite gives "0".
inline constexpr const char* kIndexCount =
    "an index's distinct count is read by a subquery without an alias, which the server "
    "refuses; a Yes/No field's default reads 'false', not '0'";

inline constexpr KnownServerGapEntry kKnownServerGaps[] = {
    {"Navigation.BofAndEofAtBothEnds", kFoldedNames},
    {"Navigation.EmptyRecordset", kFoldedNames},
    {"Navigation.MoveCountsFromTheCurrentRecord", kFoldedNames},
    {"Navigation.RecordCountBeforeAndAfterMoveLast", kFoldedNames},
    {"Navigation.KeyingInChunksFollowsTheStatementOrder", kFoldedNames},
    {"Navigation.OrdinalsAndAliasesInOrderBy", kFoldedNames},
    {"Navigation.BookmarksNameTheSameRecord", kFoldedNames},
    {"Navigation.BookmarksOfOthersAreRefused", kFoldedNames},
    {"Navigation.RecordsDeletedByAnotherConnection", kFoldedNames},
    {"Navigation.OthersWriteWhileKeyingIsUnfinished", kFoldedNames},
    {"Navigation.FilterAndSortNarrowTheStatement", kFoldedNames},
    {"Navigation.DefaultsOfADerivedRecordsetAndSnapshots", kFoldedNames},
    {"Find.FirstAndLastInAscendingOrderWithTies", kFoldedNames},
    {"Find.DescendingOrderAndDates", kFoldedNames},
    {"Find.BeyondWhatIsKeyedKeyingGoesOn", kFoldedNames},
    {"Find.NothingMatchingLeavesTheCurrentRecord", kFoldedNames},
    {"Find.NextAndPreviousFromTheCurrentRecord", kFoldedNames},
    {"Find.RecordsChangedSinceKeyingAreStillFound", kFoldedNames},
    {"Find.QueriesOverManyTablesAndBadCriteria", kFoldedNames},
    {"Fields.ExpressionsTakeNameAndTypeFromTheirValues", kFoldedNames},
    {"Fields.RequiredDefaultsAndIndexesOfATable", kIndexCount},
    {"Edit.TextIsConvertedToEachType", kFoldedNames},
    {"Edit.FailedConversionWritesNothing", kFoldedNames},
    {"Edit.UpdateWithoutEditAndReadOnlyRecordsets", kFoldedNames},
    {"Edit.NewRecordsJoinTheEnd", kFoldedNames},
    {"Edit.DeletedRecordsKeepTheirPlace", kFoldedNames},
    {"Edit.ChangingTheKeyKeepsTheRecord", kFoldedNames},
    {"Edit.OptimisticUpdateFailsWhenOthersChangedTheRecord", kFoldedNames},
    {"SkipFieldsTest.SkippedFieldsStillReadAndEditsKeepThem", kFoldedNames},
    {"SkipFieldsTest.LimitedTextIsCutAtACharacterAndEditsKeepItWhole", kFoldedNames},
    {"StatementErrors.StatementsTheEngineRejects", kFoldedNames},
    {"StatementErrors.ExecuteRunsOneActionStatement", kFoldedNames},
    {"SharedNames.SelfJoinQualifiesEachSideWithItsAlias", kFoldedNames},
    {"SharedNames.TablesQualifyOnlyTheNamesTheyShare", kFoldedNames},
    {"SharedNames.AsNamesStayAsWritten", kFoldedNames},
    {"SharedNames.QualifiedNamesWriteThroughASingleTable", kFoldedNames},
    {"TextCompare.CriteriaIgnoreCaseOfLatinLetters", kFoldedNames},
    {"TextCompare.OrdersIgnoreCaseUnlessAnIndexServesThem", kFoldedNames},
    {"TextCompare.FindIgnoresCaseInTheDynasetsOrder", kFoldedNames},
    {"TextCompare.NamesHoldingABracketAreWrittenDoubled", kFoldedNames},
    {"TextCompare.FindInAnIndexedOrderComparesAsTheIndex", kFoldedNames},
    {"Keying.TheLastRecordAtOnceAndEveryRecordBackToTheFirst", kFoldedNames},
    {"Keying.MovesAndBookmarksFromTheEndOutliveTheMeeting", kFoldedNames},
    {"Keying.SlicesAndTheWorkerKeyInTheStatementOrder", kFoldedNames},
    {"Keying.OthersWritingWhileKeyingFromBothEnds", kFoldedNames},
    {"Keying.ClosingDropsAWorkerStillSorting", kFoldedNames},
    {"Keying.AQueryOverItsOwnCopyEndsAtOnceToo", kFoldedNames},
    {"Keying.EditsAndFindsOnARecordKeyedFromTheEnd", kFoldedNames},
    {"Keying.BothEndsMeetWhereTheFrontStoppedThoughThatRecordIsGone", kFoldedNames},
    {"Keying.AWriteHereStopsTheWorkerRatherThanWaitOnIt", kFoldedNames},
    {"DocumentTest.ClosingTheDynasetKeepsTheDatabaseForTheNextOpen", kFoldedNames},
    {"DocumentTest.ABorrowedDatabaseOutlivesTheDocumentAndIsNeverDeletedAsItsOwn", kFoldedNames},
    {"DocumentTest.ALoadRecordBorrowingADatabaseLeavesItOpen", kFoldedNames},
    {"DocumentTest.TextWidthsFollowTheFieldSizeWithTheirOddSteps", kFoldedNames},
    {"DocumentTest.AKeyGivenOnEntryIsKeptAndNullOutputsAreSkipped", kFoldedNames},
    {"DocumentTest.AJoinListsEachFieldOnceUnderANameThatTellsItApart", kFoldedNames},
    {"DocumentTest.AClosedDocumentLeavesTheWindowAlone", kFoldedNames},
    {"DocumentTest.ThreeRecordsInATenRowWindow", kFoldedNames},
    {"DocumentTest.TheFirstCallWithoutBookmarksFetchesTheFirstPageWhateverTheMove", kFoldedNames},
    {"DocumentTest.ScrollingDownUntilTheLastRecordIsRowZeroAndBackUp", kFoldedNames},
    {"DocumentTest.PagesAndAbsoluteMoves", kFoldedNames},
    {"DocumentTest.AnEmptyDynasetBlanksTheWindowAndForgetsTheBookmarks", kFoldedNames},
    {"DocumentTest.ANegativeCountFetchesEveryRecordIntoAGrowingBuffer", kFoldedNames},
    {"DocumentTest.NullBookmarksUseTheDocumentsOwn", kFoldedNames},
    {"DocumentTest.PageUpAfterTheFirstRowWasDeletedElsewhereFallsBackToTheTop", kFoldedNames},
    {"DocumentTest.ARefreshMeetingADeletedFirstRowRestartsAfterOneMessage", kFoldedNames},
    {"DocumentTest.CellsOfADeletedRecordSayDeletedAndHiddenOnesStayBlank", kFoldedNames},
    {"DocumentTest.OnlyShownOrKeyColumnsAreReadWithTheirFormat", kFoldedNames},
    {"DocumentTest.RecordCountLeavesTheCurrentRecordWhereItWas", kFoldedNames},
    {"DocumentTest.ARecordDeletedWhereTheDynasetStandsDisturbsNeitherCountNorAbsoluteMove",
     kFoldedNames},
    {"DocumentTest.ExtractingWithAWhereTextIgnoresTheFiltersAndTheOrder", kFoldedNames},
    {"DocumentTest.EditingARowOfTheWindowEditsThatRecord", kFoldedNames},
    {"DocumentTest.TheLastWindowBeforeTheCountAndMovesFromThere", kFoldedNames},
    {"DocumentTest.AbsoluteMovesBeforeTheCountStopAtTheLastRecord", kFoldedNames},
    {"DocumentTest.CountingBySlicesEndsWithTheExactCount", kFoldedNames},
    {"SearchTest.TextOnAnAscendingOrderFindsTheFirstRecordAtOrAboveTheValue", kFoldedNames},
    {"SearchTest.ADescendingOrderUsesTheLastMatchingRecord", kFoldedNames},
    {"SearchTest.DatesGoBetweenHashSignsAndNumbersBare", kFoldedNames},
    {"SearchTest.AValueThatIsNotOfTheColumnsTypeIsRefusedQuietly", kFoldedNames},
    {"SearchTest.AQuoteInsideTextCannotEndTheLiteral", kFoldedNames},
    {"SearchTest.AFieldMatchingNoColumnShowsOneMessageAndGoesBack", kFoldedNames},
    {"SearchTest.NothingIsDoneWithoutBuffersOrOnAClosedDocument", kFoldedNames},
    {"TwoUsersTest.ARefreshShowsWhatTheOtherCommitted", kFoldedNames},
    {"TwoUsersTest.TheSecondOfTwoEditsOfOneRecordFailsAndTheFirstStands", kFoldedNames},
    {"AdvSearchTest.GapsAreClosedUpAndTheFilterApplied", kFoldedNames},
    {"AdvSearchTest.OnlyTheSecondGroup", kFoldedNames},
    {"AdvSearchTest.DateEditorPerRow", kFoldedNames},
    {"GridTest.ColumnsFollowTheFieldsWithTheKeyFirst", kFoldedNames},
    {"GridTest.WidthsReadBackFromTheHeaderInCharacterUnits", kFoldedNames},
    {"GridTest.UnshowableFieldsGetNoColumnAndLeaveNoGap", kFoldedNames},
    {"GridTest.QualifiedNamesAreBracketedAfterTheTable", kFoldedNames},
    {"GridTest.AFullReloadKeepsTheColumnModel", kFoldedNames},
    {"GridTest.InitialiseCopiesTheRecord", kFoldedNames},
    {"GridTest.HeaderClicksSortAndTurnTheDirection", kFoldedNames},
    {"GridTest.AnUnsortableColumnBeeps", kFoldedNames},
    {"GridTest.DividerDragHidesAtEightPixels", kFoldedNames},
    {"GridTest.DragReorderIsKeptAcrossRuns", kFoldedNames},
    {"GridTest.PaintsTheCursorRowAndGridLines", kFoldedNames},
    {"GridTest.TilesTheBackground", kFoldedNames},
    {"GridTest.CounterText", kFoldedNames},
    {"GridTest.LongTextAndAmpersand", kFoldedNames},
    {"GridTest.EmptyRecordsetPaintsLinesOnly", kFoldedNames},
    {"GridTest.PaintingNeverReadsTheDatabase", kFoldedNames},
    {"GridTest.StartUpOrderThroughADerivedClass", kFoldedNames},
    {"GridTest.ReloadAtAKey", kFoldedNames},
    {"GridTest.AnEmptyRecordsetHasNoCursor", kFoldedNames},
    {"GridTest.AFailedReloadChangesNothing", kFoldedNames},
    {"GridTest.RefreshShowsChangesInPlace", kFoldedNames},
    {"GridTest.SettingsAreWrittenAndReadBack", kFoldedNames},
    {"GridTest.DamagedColumnValuesAreIgnored", kFoldedNames},
    {"GridTest.AStoredSortBeyondTheFieldsLoadsUnsorted", kFoldedNames},
    {"GridTest.AllColumnsSearchLooksOnlyInShownTextColumns", kFoldedNames},
    {"GridTest.StartUpShowsTheFirstWindow", kFoldedNames},
    {"CompareTest.TheHeadersSortIgnoresCase", kFoldedNames},
    {"CompareTest.TheBarComparesWithoutCase", kFoldedNames},
    {"CompareTest.TypeAheadIgnoresCaseAndBeepsWhenNothingMatches", kFoldedNames},
    {"CountTest.FirstPaintBeforeTheCountThenRangeCounterAndNotification", kFoldedNames},
    {"CountTest.FewRecordsAreCountedAtOnceAsBefore", kFoldedNames},
    {"CountTest.GetTotIsExactWhileCounting", kFoldedNames},
    {"CountTest.TheEndBeforeTheCountAndBackUp", kFoldedNames},
    {"CountTest.ThumbAtTheBottomBeforeTheCountIsTheEnd", kFoldedNames},
    {"CountTest.SortAndSearchWhileCountingDropTheOldCount", kFoldedNames},
    {"CountTest.AnotherProgramWritesWhileCounting", kFoldedNames},
    {"CountTest.TypeAheadFarBeyondWhatIsCountedSoFar", kFoldedNames},
    {"CountTest.PagingUpFromTheEndFurtherThanCountedSoFar", kFoldedNames},
    {"EditTest.ASecondClickOnTheCurrentRowEditsAfterTheDoubleClickTime", kFoldedNames},
    {"EditTest.AValueTheDatabaseRefusesLeavesNoRecordInEditMode", kFoldedNames},
    {"EditTest.EditsOutsideTheWindowOrOutOfViewAreRefused", kFoldedNames},
    {"EditTest.GetCurrentRecordOpensTheRecordUnderTheCursor", kFoldedNames},
    {"FilterPropertyTest.FiltersSelectExactlyWhatTheyMean", kFoldedNames},
    {"FilterTest.EveryCellOfTheTable", kFoldedNames},
    {"FilterTest.UnsafeValuesAreQuotedOrRefused", kFoldedNames},
    {"FilterTest.AllColumnsAndCompoundFilters", kFoldedNames},
    {"FilterTest.EmptyCriterionFindsEmptyFields", kFoldedNames},
    {"KeyboardTest.UpAndDownMoveTheCursorInsideTheWindowAndScrollAtItsEdges", kFoldedNames},
    {"KeyboardTest.HomeAndEndGoToTheEndsOfTheData", kFoldedNames},
    {"KeyboardTest.EndsAndThumbBeyondSixteenBits", kFoldedNames},
    {"KeyboardTest.WithoutACursorNavigationKeysOnlyPlaceIt", kFoldedNames},
    {"KeyboardTest.TypeAheadSearchesTheSortColumnWithThePrefixTypedSoFar", kFoldedNames},
    {"KeyboardTest.MovesBeyondFivePixelsSendTheDragMessage", kFoldedNames},
    {"MenuTest.AFontSizeFromTheMenuLaysTheGridOutAgain", kFoldedNames},
    {"MenuTest.RecordCommandsAreEnabledOnlyOnARecord", kFoldedNames},
    {"MenuTest.ColumnDialogFillsByDisplayPositionAndWritesOnlyOnOK", kFoldedNames},
    {"MenuTest.ColumnDialogSharedPositionsAndEqualCaptions", kFoldedNames},
    {"MenuTest.FontSizesKeepWidthsColumnsAndTheSortMark", kFoldedNames},
    {"NamesTest.TheBarSearchesEveryKindOfName", kFoldedNames},
    {"NamesTest.AllColumnsAndAdvancedSearchAcrossNames", kFoldedNames},
    {"NamesTest.SortAndTypeAheadOnNamesWithBrackets", kFoldedNames},
    {"NamesTest.ANameTheDialectCannotCarryIsRefusedWithAMessage", kFoldedNames},
    {"NamesTest.TypeAheadOnADateBeepsOnlyForADateThatMatchesNothing", kFoldedNames},
    {"RecordTrustTest.TheRecordHandedOverIsTheOneUnderTheCursorWhateverItsText", kFoldedNames},
    {"RecordTrustTest.KeysAreMatchedAtFullPrecision", kFoldedNames},
    {"RecordTrustTest.AnUntouchedEditorWritesNothing", kFoldedNames},
    {"RecordTrustTest.FieldsTheEngineCannotWriteGetNoEditor", kFoldedNames},
    {"RecordTrustTest.TypingHoldsNoLockAndAChangeByAnotherProgramWins", kFoldedNames},
    {"RecordTrustTest.ReloadsResizesAndClosesWriteWhatWasTyped", kFoldedNames},
    {"RecordTrustTest.RowsBelowADeletedFirstRowAreStillTheirRecords", kFoldedNames},
    {"RecordsetDlgTest.ModalChooserHandsTheChosenRecordToTheHost", kFoldedNames},
    {"RecordsetDlgTest.ChooseNeedsARecordAndARecordset", kFoldedNames},
    {"ScrollTest.PagesAndLines", kFoldedNames},
    {"ScrollTest.RecordsChangedElsewhere", kFoldedNames},
    {"ScrollTest.TheCursorSettlesOnTheLastRecordOfAShortWindow", kFoldedNames},
    {"SearchTest.SelectorsFilledOnceAndFreshDefaults", kFoldedNames},
    {"SearchTest.SelectorsRestoredFromSettings", kFoldedNames},
    {"SearchTest.ControlsAndDateEditorsFollowTheChoice", kFoldedNames},
    {"SearchTest.ClosingTheGridGivesTheBarItsEditsBack", kFoldedNames},
    {"SearchTest.SearchAndAll", kFoldedNames},
    {"SearchTest.BadValuesAreRefused", kFoldedNames},
    {"SearchTest.BarPictures", kFoldedNames},
};

// The reason the server instance of a test is skipped, or null when it runs. The suite and
// test names are gtest's ("Engines/Fixture", "Test/PostgreSQL").
inline const char* KnownServerGap(const char* suite, const char* test) {
    std::string fixture = suite;
    fixture = fixture.substr(fixture.find('/') + 1);
    std::string name = test;
    name = name.substr(0, name.find('/'));
    for (const KnownServerGapEntry& gap : kKnownServerGaps) {
        const std::string entry = gap.test;
        if (entry == fixture + "." + name || entry == fixture + ".*")
            return gap.reason;
    }
    return nullptr;
}
